#pragma once

#include <QString>

namespace vellumax {

// The program's own choices beyond the four lines of vellumax.ini, which
// stay as they are: a settings file in the user's configuration folder.
class ProgramOptions {
public:
    // `path` empty: options.ini in the user's configuration folder
    // (~/.config/vellumax/options.ini).
    explicit ProgramOptions(QString path = {});

    const QString& path() const { return path_; }

    // Wide reading of the result pages: every fax label people write, and
    // the engine's page links. Off until the user switches it on.
    bool wideReading() const;
    // Throws Error when the file cannot be written.
    void setWideReading(bool wide);

    // Each result's own site read too. Off until the user switches it on.
    bool siteReading() const;
    void setSiteReading(bool sites); // throws as setWideReading

private:
    bool flag(const QString& key) const;
    void setFlag(const QString& key, bool on);

    QString path_;
};

} // namespace vellumax

#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace vellumax {

// What a file dialog is set up with.
struct FileDialogSettings {
    QString title;
    QStringList filters;     // "Text files(*.txt)", ... the first one selected
    QString defaultSuffix;   // "txt"
    QString folder;          // empty: the platform's default
    QString proposedName;    // save dialogs only
};

// The message boxes, the input prompt and the file dialogs the window shows.
// The program uses Qt's; the tests script their answers.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Stop icon, one button "确定", titled with the application title.
    virtual void errorBox(const QString& text) = 0;
    // "信息", information icon, one button "确定".
    virtual void informationBox(const QString& text) = 0;
    // The application title, no icon, one button "确定".
    virtual void plainMessage(const QString& text) = 0;
    // "确认", question icon, "(&Y)是" (default) and "(&N)否" (Esc). False
    // only for an explicit No; closing the box counts as Yes.
    virtual bool confirmYes(const QString& text) = 0;
    // Input prompt with "确定" and "放弃"; nothing when cancelled or closed.
    virtual std::optional<QString> inputQuery(const QString& caption, const QString& prompt,
                                              const QString& value) = 0;

    virtual std::optional<QString> openFile(const FileDialogSettings& settings) = 0;
    virtual std::optional<QStringList> openFiles(const FileDialogSettings& settings) = 0;
    virtual std::optional<QString> saveFile(const FileDialogSettings& settings) = 0;

    // A save dialog whose file types choose how the file is written: the
    // path and the index of the file type selected in `settings.filters`.
    struct SaveChoice {
        QString path;
        int fileType = 0;
    };
    virtual std::optional<SaveChoice> saveFileOfType(const FileDialogSettings& settings)
    {
        const std::optional<QString> path = saveFile(settings);
        if (!path)
            return std::nullopt;
        return SaveChoice{*path, 0};
    }
};

} // namespace vellumax

#pragma once

#include "app/dialogs.h"

class QWidget;

namespace vellumax {

// Dialogs shown with Qt's message boxes, input dialog and file dialogs,
// with the program's titles, icons and button captions.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent) : parent_(parent) {}

    void errorBox(const QString& text) override;
    void informationBox(const QString& text) override;
    void plainMessage(const QString& text) override;
    bool confirmYes(const QString& text) override;
    std::optional<QString> inputQuery(const QString& caption, const QString& prompt, const QString& value) override;
    std::optional<QString> openFile(const FileDialogSettings& settings) override;
    std::optional<QStringList> openFiles(const FileDialogSettings& settings) override;
    std::optional<QString> saveFile(const FileDialogSettings& settings) override;
    std::optional<SaveChoice> saveFileOfType(const FileDialogSettings& settings) override;

private:
    QWidget* parent_;
};

} // namespace vellumax

#include "app/qt_dialogs.h"

#include "app/app_texts.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

namespace vellumax {
namespace {

const QString kOk = QStringLiteral("确定");
const QString kCancel = QStringLiteral("放弃");
const QString kYes = QStringLiteral("(&Y)是");
const QString kNo = QStringLiteral("(&N)否");

// The toolkit opens a dialog over the middle of its owner; these open in the
// middle of the owner's screen. The dialog has its final size only once its
// own show handling has run, so it is placed right after that, before the
// window system maps it.
template <class Dialog>
class ScreenCentred : public Dialog {
public:
    using Dialog::Dialog;

protected:
    void showEvent(QShowEvent* event) override
    {
        Dialog::showEvent(event);
        if (!event->spontaneous())
            centreOnScreen();
    }

private:
    void centreOnScreen()
    {
        const QWidget* owner = this->parentWidget() ? this->parentWidget()->window() : nullptr;
        const QScreen* screen = owner ? owner->screen() : this->screen();
        if (!screen)
            return;
        // The frame is known only once the window is mapped; the owner's
        // frame is the best guess for it.
        QSize frame = this->frameGeometry().size() - this->size();
        if (frame.isNull() && owner)
            frame = owner->frameGeometry().size() - owner->size();
        const QSize outer = this->size() + frame;
        const QRect area = screen->availableGeometry();
        this->move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
    }
};

void showOkBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text)
{
    ScreenCentred<QMessageBox> box(icon, title, text, QMessageBox::NoButton, parent);
    QPushButton* ok = box.addButton(kOk, QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

// Esc answers No, but closing the box with its own close button lets the
// question go ahead as Yes; QMessageBox treats both alike, so tell them apart
// here.
class YesNoBox : public ScreenCentred<QMessageBox> {
public:
    using ScreenCentred<QMessageBox>::ScreenCentred;
    bool closedByWindow = false;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        if (event->spontaneous())
            closedByWindow = true;
        ScreenCentred<QMessageBox>::closeEvent(event);
    }
};

QString dialogSuffix(const QString& suffix)
{
    QString s = suffix;
    if (s.startsWith(QStringLiteral("*.")))
        s.remove(0, 2);
    return s;
}

void applySettings(QFileDialog& dialog, const FileDialogSettings& settings)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setNameFilters(settings.filters);
    if (!settings.filters.isEmpty())
        dialog.selectNameFilter(settings.filters.front());
    dialog.setDefaultSuffix(dialogSuffix(settings.defaultSuffix));
    if (!settings.folder.isEmpty())
        dialog.setDirectory(settings.folder);
    if (!settings.proposedName.isEmpty())
        dialog.selectFile(settings.proposedName);
}

} // namespace

void QtDialogs::errorBox(const QString& text)
{
    showOkBox(parent_, QMessageBox::Critical, texts::kApplicationTitle, text);
}

void QtDialogs::informationBox(const QString& text)
{
    showOkBox(parent_, QMessageBox::Information, QStringLiteral("信息"), text);
}

void QtDialogs::plainMessage(const QString& text)
{
    showOkBox(parent_, QMessageBox::NoIcon, texts::kApplicationTitle, text);
}

bool QtDialogs::confirmYes(const QString& text)
{
    YesNoBox box(QMessageBox::Question, QStringLiteral("确认"), text, QMessageBox::NoButton, parent_);
    QPushButton* yes = box.addButton(kYes, QMessageBox::YesRole);
    QPushButton* no = box.addButton(kNo, QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.closedByWindow || box.clickedButton() != no;
}

std::optional<QString> QtDialogs::inputQuery(const QString& caption, const QString& prompt, const QString& value)
{
    ScreenCentred<QInputDialog> dialog(parent_);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(value);
    dialog.setOkButtonText(kOk);
    dialog.setCancelButtonText(kCancel);
    if (QLineEdit* edit = dialog.findChild<QLineEdit*>()) {
        edit->setMaxLength(255);
        edit->selectAll();
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

std::optional<QString> QtDialogs::openFile(const FileDialogSettings& settings)
{
    ScreenCentred<QFileDialog> dialog(parent_, settings.title);
    applySettings(dialog, settings);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile); // the named file need not exist
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front();
}

std::optional<QStringList> QtDialogs::openFiles(const FileDialogSettings& settings)
{
    ScreenCentred<QFileDialog> dialog(parent_, settings.title);
    applySettings(dialog, settings);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedFiles();
}

std::optional<QString> QtDialogs::saveFile(const FileDialogSettings& settings)
{
    const std::optional<SaveChoice> choice = saveFileOfType(settings);
    if (!choice)
        return std::nullopt;
    return choice->path;
}

std::optional<Dialogs::SaveChoice> QtDialogs::saveFileOfType(const FileDialogSettings& settings)
{
    ScreenCentred<QFileDialog> dialog(parent_, settings.title);
    applySettings(dialog, settings);
    dialog.setAcceptMode(QFileDialog::AcceptSave); // asks before replacing a file
    dialog.setFileMode(QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return SaveChoice{dialog.selectedFiles().front(),
                      std::max(0, static_cast<int>(settings.filters.indexOf(dialog.selectedNameFilter())))};
}

} // namespace vellumax

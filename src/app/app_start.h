#pragma once

class QApplication;

namespace vellumax {

// What the program sets on its application object before it makes the
// window: its name, the Chinese font mapping and the toolkit's own
// Simplified Chinese texts (file dialogs, their questions, standard
// buttons). The window tests start the same way.
//
// No application display name: the toolkit would append it to every window
// title the window system shows. The application title goes where it
// belongs (the error box, plain messages) by name.
void startApplication(QApplication& app);

// Loads the toolkit's Simplified Chinese translations; false when they are
// not installed (the dialogs then speak English).
bool installToolkitTranslations(QApplication& app);

} // namespace vellumax

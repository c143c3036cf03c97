#pragma once

class QCoreApplication;

namespace fx::ui {

// The program speaks Chinese whatever the machine's locale is set to.

// To be called before the application object exists: the system locale, which the standard
// dialogs follow for dates and numbers (the file chooser's "修改日期" column), becomes Chinese.
void useChineseSystemLocale();

// Qt's own texts (file choosers, printer set-up, standard buttons) in Chinese: Qt's Chinese
// translations, plus the few texts of the file chooser they lack (the kinds of file).
// Returns false when Qt's translations are not installed.
bool installChineseTranslations(QCoreApplication& app);

}  // namespace fx::ui

#pragma once

#include <QString>

// What the windows ask of the program around them beyond the commands: the questions to the
// user and the File command a page's button starts. The application implements it; the
// windows get it through their constructors.
class CFrontEnd {
  public:
    virtual ~CFrontEnd() = default;
    // A question before something that cannot be undone (Delete, overwriting a file changed
    // on disk); No is the default answer. True for Yes.
    virtual bool Confirm(const QString& text) = 0;
    // A yes-or-no question (before a long run); No is the default answer. True for Yes.
    virtual bool Ask(const QString& text) = 0;
    // File Import, also started by the Data page's Import button.
    virtual void OnFileImport() = 0;
};

#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <utility>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

// Lays out a page's controls from positions in dialog units of the page's font: a quarter of
// the average character width across and an eighth of the character height down, so a page
// keeps its proportions with any default font. Controls become children of the page in the
// order they are made; the caller sets the tab order.
class CDialogTemplate {
  public:
    // The page outlives the template object and has its font set.
    explicit CDialogTemplate(QWidget* page);

    // Pixels of the rectangle x, y, cx x cy given in dialog units.
    QRect ToPixels(int x, int y, int cx, int cy) const;

    // A group box drawn behind the controls made after it.
    QGroupBox* Group(const QString& title, int x, int y, int cx, int cy) const;
    // A static text; it grows to show all its text (rightward, or leftward when
    // right-aligned) when the font is wider than the template assumed.
    QLabel* Static(const QString& text, int x, int y, int cx, int cy,
                   bool rightAligned = false) const;
    // A right-aligned edit named `name`.
    QLineEdit* Edit(const char* name, int x, int y, int cx, int cy) const;
    QPushButton* Button(const QString& text, const char* name, int x, int y, int cx, int cy) const;
    QCheckBox* Check(const QString& text, const char* name, int x, int y, int cx, int cy) const;

  private:
    QWidget* m_page;
    int m_baseX;
    int m_baseY;
};

// A horizontal spin button without a position: a left and a right arrow that report one step
// each, -1 for the left arrow and +1 for the right one, also while an arrow is held down and
// for the Left and Right keys when the spin has the focus. A step is never larger than one.
class CSpinArrows : public QWidget {
  public:
    using StepFunction = std::function<void(int step)>;

    CSpinArrows(const char* name, QWidget* parent);

    void SetOnStep(StepFunction onStep) { m_onStep = std::move(onStep); }
    QToolButton* Arrow(int step) const { return step < 0 ? m_left : m_right; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Step(int step);

    QToolButton* m_left;
    QToolButton* m_right;
    StepFunction m_onStep;
};

// The data exchange between a field and its edit. A read takes the edit's text when it is a
// whole number of 32 bits (or, for a double, a finite number), blanks around it allowed, and
// returns true. Other text is refused: the prompt names the field (its accessible name) and
// what it accepts, the field keeps its value, the edit shows it again, selected and with the
// focus, and the read returns false; a page reading several edits stops at the first refusal.
bool ReadInt(QLineEdit* edit, int32_t& field);
bool ReadDouble(QLineEdit* edit, double& field);
// The whole number, or, when it is wider than the edit, the shortest form that fits ("2.1e+09");
// while that text stands, ReadInt gives back the whole value.
void ShowInt(QLineEdit* edit, int32_t field);
// A read-only figure: `text` when it fits the edit, else the short form of `value` that fits,
// with `text` in the edit's tooltip after what the tooltip said before.
void ShowFigure(QLineEdit* edit, const QString& text, double value);
// As many significant digits as the edit shows whole (at most 15), without trailing zeros:
// 0.0 shows "0", 101.5 "101.5", a third "0.3333" in a narrow edit. While the text is left as
// shown, ReadDouble gives back the whole value, not the shortened one.
void ShowDouble(QLineEdit* edit, double field);
// The shortest text of `value` with at most 15 significant digits that fits `width` pixels of
// `edit`'s font, or the 1-digit text when none fits.
QString FittingNumber(const QLineEdit* edit, double value, int width);

// The prompt of a refused entry: a message box owned by the edit's window unless replaced.
using RefusalPrompt = std::function<void(QLineEdit* edit, const QString& text)>;
void SetRefusalPrompt(RefusalPrompt prompt);

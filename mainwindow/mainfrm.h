#pragma once

// The calculator window. Its look is data (mainfrm_design.h); this class holds the controls,
// the six numbers of the last calculation, and one procedure per handled notification.
// The arithmetic is calc::ComputeIncrementSignal; showing, hiding and ending go through the
// shell, which owns the one instance of this window.

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class mainfrm : public QWidget {
    Q_OBJECT

public:
    mainfrm();

    // The last calculation with a finite quotient; written only by cmd1_MouseUp.
    double excitation = 0, cellCount = 0, divisionSize = 0, cellCapacity = 0, cellRating = 0;
    double uvPerIncrement = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void cmd1_MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void cmd2_Click();
    void cmd3_Click();

    QComboBox* Combo1;
    QComboBox* Combo2;
    QLineEdit* Text3;
    QComboBox* Combo4;
    QComboBox* Combo5;
    QLineEdit* Text1;
    QPushButton* cmd1;
    QPushButton* cmd2;
    QPushButton* cmd3;

    // Mouse buttons pressed on cmd1 and not yet released.
    Qt::MouseButtons cmd1Pressed;
};

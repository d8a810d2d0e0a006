#pragma once

// The calculator window. Its look is data (mainfrm_design.h); this class holds the controls,
// the six numbers of the last calculation, and one procedure per handled notification.
// The arithmetic is calc::ComputeIncrementSignal; showing, hiding and ending go through the
// shell, which owns the one instance of this window.

#include "calc/increment_signal.h"
#include "shell/forms.h"

// Its fields excitation, cellCount, divisionSize, cellCapacity, cellRating and uvPerIncrement
// are those of the last calculation with a finite quotient, written only by cmd1_MouseUp.
class mainfrm : public shell::Instance, public calc::Numbers {
public:
    mainfrm();

private:
    void Form_Load();
    void cmd1_MouseUp(ui::MouseButton Button, int Shift, int X, int Y);
    void cmd2_Click();
    void cmd3_Click();

    ui::List Combo1, Combo2;
    ui::Field Text3;
    ui::List Combo4, Combo5;
    ui::Field Text1;
    ui::Button cmd1, cmd2, cmd3;
};

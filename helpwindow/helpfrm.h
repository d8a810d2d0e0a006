#pragma once

// The help window: four lines of operating help, a credit line and a Close button that
// takes the user back to the calculator. Its look is data (helpfrm_design.h).

#include "shell/forms.h"

class helpfrm : public shell::Instance {
public:
    helpfrm();

private:
    void cmd1_Click();
};

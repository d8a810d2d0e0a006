#pragma once

// The help window: four lines of operating help, a credit line and a Close button that
// takes the user back to the calculator. Its look is data (helpfrm_design.h).

#include <QWidget>

class helpfrm : public QWidget {
    Q_OBJECT

public:
    helpfrm();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void cmd1_Click();
};

#include "mainwindow/mainfrm.h"

#include "mainwindow/mainfrm_design.h"

#include <initializer_list>

namespace {

void Fill(ui::List& list, std::initializer_list<const char*> items, int selected) {
    list.Clear();
    int place = 0;
    for (const char* item : items)
        list.AddItem(item, place++);
    list.ListIndex(selected);
}

const char* Explain(calc::Failure failure) {
    if (failure == calc::Failure::zeroDivisor)
        return "The number of load cells and the load cell capacity must not be zero.";
    return "The values are too large or too small to calculate.";
}

} // namespace

std::unique_ptr<shell::Instance> shell::MakeMainfrm() {
    return std::make_unique<mainfrm>();
}

mainfrm::mainfrm()
    : Instance(mainfrm_design::kForm)
    , Combo1(window.Find<ui::List>("Combo1"))
    , Combo2(window.Find<ui::List>("Combo2"))
    , Text3(window.Find<ui::Field>("Text3"))
    , Combo4(window.Find<ui::List>("Combo4"))
    , Combo5(window.Find<ui::List>("Combo5"))
    , Text1(window.Find<ui::Field>("Text1"))
    , cmd1(window.Find<ui::Button>("cmd1"))
    , cmd2(window.Find<ui::Button>("cmd2"))
    , cmd3(window.Find<ui::Button>("cmd3")) {
    // Calculate answers the mouse alone: its click also comes from the keyboard.
    cmd1.OnMouseUp(
        [this](const ui::MouseUp& up) { cmd1_MouseUp(up.button, up.shift, up.x, up.y); });
    cmd2.OnClick([this] { cmd2_Click(); });
    cmd3.OnClick([this] { cmd3_Click(); });
    // The title bar's close control ends the program, as Exit does.
    window.OnClose([this] { cmd3_Click(); });
    Form_Load();
}

void mainfrm::Form_Load() {
    Fill(Combo1, {"15", "12.5", "12", "10", "6", "5", "4", "1.6"}, 5);
    Fill(Combo2, {"1", "2", "3", "4", "6", "8", "10", "12", "14", "16", "18", "20", "22", "24"}, 3);
    Text3.Text("1");
    Fill(Combo4, {"1",   "2",   "2.5",  "5",    "10",   "20",   "25",    "50",    "100",   "200",
                  "250", "500", "1000", "2000", "2500", "5000", "10000", "20000", "25000", "50000"},
         14);
    Fill(Combo5, {"2", "3"}, 0);
}

void mainfrm::cmd1_MouseUp(ui::MouseButton, int, int, int) {
    const auto result = calc::ComputeIncrementSignal(Combo1.Text(), Combo2.Text(), Text3.Text(),
                                                     Combo4.Text(), Combo5.Text());
    if (result.finite()) {
        Numbers::operator=(result); // the six fields, all at once
        Text1.Text(result.text);
        return;
    }
    // No earlier result may stand beside inputs it does not belong to.
    Text1.Text("");
    window.Warn(Explain(result.failure));
}

void mainfrm::cmd2_Click() {
    shell::Hide(shell::Form::mainfrm);
    shell::Show(shell::Form::helpfrm);
}

void mainfrm::cmd3_Click() {
    shell::End();
}

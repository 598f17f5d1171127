#pragma once
#include "platform/form.h"
#include "platform/label.h"

// "About": how to place the program and its companion files, notes, credits, the title with
// the version, and a link to the web site. A click on the upper part hides it.
class frmInfo : public platform::Form {
public:
    explicit frmInfo(platform::Platform& platform);

    static constexpr const char* web_site = "http://www.qarvel.example/";
    static constexpr platform::Color link_cold = 0x000080;
    static constexpr platform::Color link_hot = 0xC000C0;

    // Stacking order, topmost first.
    platform::Label lblMask;
    platform::Label Label1;
    platform::Label lblQarvel;
    platform::Label lblTitle;
    platform::Label lblC;
    platform::Label Label2;
    platform::Label Label3;

protected:
    void Form_Load() override;

private:
    void lblQarvel_MouseMove();
    void lblMask_MouseMove();
    void lblQarvel_Click();
    void lblMask_Click();
};

// The French message dialog and input box, built in code.
#include "framework/MessageDialog.h"

#include <algorithm>
#include <vector>

#include "framework/Application.h"
#include "framework/ExtCtrls.h"
#include "framework/Form.h"
#include "framework/StdCtrls.h"

namespace qv::fw {

namespace {

struct ButtonDef {
  unsigned flag;
  const char* name;
  const char* caption;
  int result;
  // The control ID: the system's own for the buttons of a message box,
  // which automation and accessibility tools look for.
  UINT id;
};

// Order of the buttons on the dialog, left to right.
const ButtonDef kButtons[] = {
    {mbYes, "Yes", "&Oui", mrYes, IDYES},
    {mbNo, "No", "&Non", mrNo, IDNO},
    {mbOK, "OK", "OK", mrOk, IDOK},
    {mbCancel, "Cancel", "Annuler", mrCancel, IDCANCEL},
    {mbAbort, "Abort", "&Abandonner", mrAbort, IDABORT},
    {mbRetry, "Retry", "&R\xE9" "essayer", mrRetry, IDRETRY},
    {mbIgnore, "Ignore", "&Ignorer", mrIgnore, IDIGNORE},
    {mbAll, "All", "&Tous", mrAll, 0},
    {mbNoToAll, "NoToAll", "N&on \xE0 tous", mrNoToAll, 0},
    {mbYesToAll, "YesToAll", "Oui \xE0 &tout", mrYesToAll, 0},
    {mbHelp, "Help", "&Aide", 0, IDHELP},
};

LPCSTR IconOf(TMsgDlgType t) {
  switch (t) {
    case TMsgDlgType::Warning: return IDI_WARNING;
    case TMsgDlgType::Error: return IDI_ERROR;
    case TMsgDlgType::Information: return IDI_INFORMATION;
    case TMsgDlgType::Confirmation: return IDI_QUESTION;
    case TMsgDlgType::Custom: return nullptr;
  }
  return nullptr;
}

class TMessageForm : public TForm {
public:
  TMessageForm(TComponent* owner, const std::string& text, TMsgDlgType type, unsigned buttons, int helpContext)
      : TForm(owner, "TMessageForm") {
    SetBorderStyle(TBorderStyle::Dialog);
    SetPosition(TPosition::MainFormCenter);
    SetCaption(type == TMsgDlgType::Custom && Application() ? Application()->Title() : MessageDlgCaption(type));
    SetHelpContext(helpContext);
    SetDefaultCloseAction(TCloseAction::Hide);

    // Measure the text in the dialog font.
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font().Handle());
    RECT tr{0, 0, 420, 0};
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &tr, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);

    const int margin = 12, iconSize = 32, gap = 12;
    LPCSTR icon = IconOf(type);
    const int textLeft = margin + (icon ? iconSize + gap : 0);
    const int textHeight = std::max<int>(tr.bottom, icon ? iconSize : 0);
    const int bw = 80, bh = 25, bgap = 8;
    std::vector<const ButtonDef*> defs;
    for (const auto& d : kButtons)
      if (buttons & d.flag) defs.push_back(&d);
    if (defs.empty()) defs.push_back(&kButtons[2]);
    const int rowWidth = static_cast<int>(defs.size()) * bw + (static_cast<int>(defs.size()) - 1) * bgap;
    const int clientW = std::max(textLeft + static_cast<int>(tr.right) + margin, rowWidth + 2 * margin);
    const int clientH = margin + textHeight + gap + bh + margin;
    SetClientSize(clientW, clientH);

    if (icon) {
      auto& img = Make<TImage>("Image");
      img.Place(this, margin, margin, iconSize, iconSize);
      img.SetIcon(LoadIcon(nullptr, icon));
    }
    auto& label = Make<TLabel>("Message");
    label.SetWordWrap(true);
    label.Place(this, textLeft, margin + (textHeight - tr.bottom) / 2, tr.right + 4, tr.bottom);
    label.SetCaption(text);

    int x = (clientW - rowWidth) / 2;
    const int y = margin + textHeight + gap;
    TButton* first = nullptr;
    for (const ButtonDef* d : defs) {
      auto& b = Make<TButton>(d->name);
      if (d->id) b.SetControlId(d->id);
      b.Place(this, x, y, bw, bh);
      b.SetCaption(d->caption);
      if (d->flag == mbHelp) {
        b.OnClick = [helpContext](TComponent&) {
          if (Application()) Application()->HelpContext(helpContext);
        };
      } else {
        b.SetModalResult(d->result);
      }
      if (!first && d->flag != mbHelp) first = &b;
      x += bw + bgap;
    }
    // Esc: Cancel, else No, else OK; an Abort/Ignore question has no safe
    // answer to give by a key.
    for (const ButtonDef* d : defs) {
      if (d->flag == mbCancel || (d->flag == mbNo && !(buttons & mbCancel)) ||
          (d->flag == mbOK && !(buttons & (mbCancel | mbNo)))) {
        static_cast<TButton*>(FindComponent(d->name))->SetCancel(true);
        break;
      }
    }
    if (first) {
      first->SetDefault(true);
      SetActiveControl(first);
    }
    FinishCreate();
  }
};

}  // namespace

std::string MessageDlgCaption(TMsgDlgType type) {
  switch (type) {
    case TMsgDlgType::Warning: return "Avertissement";
    case TMsgDlgType::Error: return "Erreur";
    case TMsgDlgType::Information: return "Information";
    case TMsgDlgType::Confirmation: return "Confirmation";
    case TMsgDlgType::Custom: break;
  }
  return Application() ? Application()->Title() : std::string();
}

int MessageDlg(const std::string& text, TMsgDlgType type, unsigned buttons, int helpContext) {
  TMessageForm form(Application(), text, type, buttons, helpContext);
  return form.ShowModal();
}

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  TForm form(Application(), "TInputQueryForm");
  form.SetBorderStyle(TBorderStyle::Dialog);
  form.SetPosition(TPosition::MainFormCenter);
  form.SetCaption(caption);
  form.SetClientSize(360, 96);
  auto& label = form.Make<TLabel>("Prompt");
  label.Place(&form, 10, 10, 340, 16);
  label.SetCaption(prompt);
  auto& edit = form.Make<TEdit>("Value");
  edit.Place(&form, 10, 30, 340, 21);
  edit.SetText(value);
  auto& ok = form.Make<TButton>("OK");
  ok.Place(&form, 190, 62, 75, 25);
  ok.SetCaption("OK");
  ok.SetModalResult(mrOk);
  ok.SetDefault(true);
  auto& cancel = form.Make<TButton>("Cancel");
  cancel.Place(&form, 275, 62, 75, 25);
  cancel.SetCaption("Annuler");
  cancel.SetModalResult(mrCancel);
  cancel.SetCancel(true);
  form.SetActiveControl(&edit);
  form.EndLoading();
  if (form.ShowModal() != mrOk) return false;
  value = edit.Text();
  return true;
}

}  // namespace qv::fw

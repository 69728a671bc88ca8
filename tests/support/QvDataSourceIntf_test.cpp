// Data connectors against a small in-memory source: connecting, the four
// notifications, reload, modify and write-back, masters, and an edit bound
// through its connector (a real edit window in a form).
#include "support/QvDataSourceIntf.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "framework/Form.h"
#include "framework/StdCtrls.h"
#include "tests/common/ControlTestSupport.h"

namespace qv::controls {
namespace {

using qv::test::App;

// A source without connection support: nobody can be notified by it.
class TPlainSource : public IQvDataSource {
public:
  bool IsActive() const override { return m_active; }
  TQvFieldObject FieldByName(const std::string& name) const override {
    auto it = m_fields.find(name);
    return it == m_fields.end() ? nullptr : &it->second;
  }
  bool FieldIsNull(TQvFieldObject f) const override { return Get(f).Text.empty(); }
  bool FieldCanModify(TQvFieldObject f) const override { return !Get(f).ReadOnly; }
  TQvVariant FieldValue(TQvFieldObject f) const override {
    return Get(f).Text.empty() ? TQvVariant{} : TQvVariant{Get(f).Text};
  }
  void SetFieldValue(TQvFieldObject f, const TQvVariant& v) override {
    Mut(f).Text = std::holds_alternative<std::string>(v) ? std::get<std::string>(v) : std::string();
  }
  std::string FieldText(TQvFieldObject f) const override { return Get(f).Text; }
  void SetFieldText(TQvFieldObject f, const std::string& text) override {
    ++Writes;
    Mut(f).Text = Upper ? Uppered(text) : text;
  }

  struct TField {
    std::string Text;
    bool ReadOnly = false;
  };
  void AddField(const std::string& name, const std::string& text, bool readOnly = false) {
    m_fields[name] = TField{text, readOnly};
  }
  void SetActive(bool v) { m_active = v; }
  std::string& Text(const std::string& name) { return m_fields[name].Text; }
  int Writes = 0;
  bool Upper = false;  // the source rewrites what it is given

private:
  static std::string Uppered(std::string s) {
    for (char& c : s) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return s;
  }
  static const TField& Get(TQvFieldObject f) { return *static_cast<const TField*>(f); }
  static TField& Mut(TQvFieldObject f) { return *const_cast<TField*>(static_cast<const TField*>(f)); }
  bool m_active = true;
  std::map<std::string, TField> m_fields;
};

class TSource : public TPlainSource, public IQvDataSourceConnection {
public:
  void RegisterConnector(TQvDataConnector* c) override { Connectors.push_back(c); }
  void UnregisterConnector(TQvDataConnector* c) override { std::erase(Connectors, c); }
  void StartEdit() override { ++Edits; }
  void Broadcast(TQvDataNotification n) {
    for (TQvDataConnector* c : std::vector(Connectors)) c->Notify(n);
  }
  std::vector<TQvDataConnector*> Connectors;
  int Edits = 0;
};

// Records its steps; the value it "shows" is a plain string.
class TProbe : public TQvFieldDataConnector {
public:
  std::vector<std::string> Steps;
  std::string Shown;
  std::string Typed;
  // The control's change handler, called while a load changes the value.
  bool ModifyWhileLoading = false;

protected:
  void ActiveChanged() override {
    Steps.push_back("active");
    TQvFieldDataConnector::ActiveChanged();
  }
  void RecordChanged() override {
    Steps.push_back("load");
    Shown = FieldLink().AsText();
    if (ModifyWhileLoading) Modify();
  }
  void UpdateData() override {
    Steps.push_back("write");
    FieldLink().SetAsText(Typed);
  }
  void LayoutChanged() override {
    Steps.push_back("layout");
    TQvFieldDataConnector::LayoutChanged();
  }
  void Connected() override {
    Steps.push_back("connect");
    TQvFieldDataConnector::Connected();
  }
  void Disconnected() override { Steps.push_back("disconnect"); }
};

TEST(QvDataConnector, WithoutSourceEveryOperationIsANoOp) {
  TProbe p;
  p.SetDataField("Nom");
  p.Reload();
  p.Modify();
  p.UpdateRecord();
  EXPECT_FALSE(p.Active());
  EXPECT_FALSE(p.Modified());
  EXPECT_FALSE(p.CanModify());
  EXPECT_TRUE(p.Steps.empty());
  EXPECT_FALSE(p.FieldLink().IsValid());
  EXPECT_TRUE(p.FieldLink().IsNull());
  EXPECT_EQ(p.FieldLink().AsText(), "");
  EXPECT_FALSE(p.FieldLink().SetAsText("x"));
}

TEST(QvDataConnector, SourceWithoutConnectionIsNotKept) {
  auto plain = std::make_shared<TPlainSource>();
  plain->AddField("Nom", "Dupont");
  TProbe p;
  p.SetDataField("Nom");
  p.SetDataSource(plain);
  EXPECT_EQ(p.DataSource(), nullptr);
  EXPECT_FALSE(p.Active());
  EXPECT_TRUE(p.Steps.empty());
  EXPECT_EQ(plain.use_count(), 1);
}

TEST(QvDataConnector, ConnectingRegistersResolvesAndLoads) {
  auto src = std::make_shared<TSource>();
  src->AddField("Nom", "Dupont");
  TProbe p;
  p.SetDataField("Nom");
  p.SetDataSource(src);
  EXPECT_EQ(src->Connectors, std::vector<TQvDataConnector*>{&p});
  EXPECT_TRUE(p.Active());
  EXPECT_TRUE(p.FieldLink().IsValid());
  EXPECT_EQ(p.Shown, "Dupont");
  EXPECT_EQ(p.Steps, (std::vector<std::string>{"connect", "load"}));

  // Another field: resolved again and loaded.
  src->AddField("Ville", "Lyon");
  p.SetDataField("Ville");
  EXPECT_EQ(p.Shown, "Lyon");
  p.SetDataField("Absent");
  EXPECT_FALSE(p.FieldLink().IsValid());
  EXPECT_EQ(p.Shown, "");

  // Disconnecting: unregistered, inactive, fields let go.
  p.SetDataField("Nom");
  p.SetDataSource(nullptr);
  EXPECT_TRUE(src->Connectors.empty());
  EXPECT_FALSE(p.Active());
  EXPECT_FALSE(p.FieldLink().IsValid());
  EXPECT_EQ(p.DataField(), "Nom");
  EXPECT_EQ(p.Steps.back(), "disconnect");
}

TEST(QvDataConnector, ModifyAndWriteBack) {
  auto src = std::make_shared<TSource>();
  src->AddField("Nom", "Dupont");
  src->AddField("Code", "42", true);
  TProbe p;
  p.SetDataField("Nom");
  p.SetDataSource(src);

  p.UpdateRecord();  // nothing typed yet
  EXPECT_EQ(src->Writes, 0);
  p.Modify();
  EXPECT_TRUE(p.Modified());
  EXPECT_EQ(src->Edits, 1);
  p.Typed = "Durand";
  p.UpdateRecord();
  EXPECT_FALSE(p.Modified());
  EXPECT_EQ(src->Text("Nom"), "Durand");
  EXPECT_EQ(src->Writes, 1);

  // A read-only field: no edit is started and nothing is marked.
  p.SetDataField("Code");
  EXPECT_FALSE(p.CanModify());
  p.Modify();
  EXPECT_FALSE(p.Modified());
  EXPECT_EQ(src->Edits, 1);

  // An inactive source: write-back waits.
  p.SetDataField("Nom");
  p.Modify();
  src->SetActive(false);
  p.UpdateRecord();
  EXPECT_TRUE(p.Modified());
  src->SetActive(true);
  p.UpdateRecord();
  EXPECT_FALSE(p.Modified());
}

TEST(QvDataConnector, ReloadDoesNotCountAsAnEdit) {
  auto src = std::make_shared<TSource>();
  src->AddField("Nom", "Dupont");
  TProbe p;
  p.ModifyWhileLoading = true;  // as an edit's change handler would
  p.SetDataField("Nom");
  p.SetDataSource(src);
  p.Modify();
  ASSERT_TRUE(p.Modified());
  src->Text("Nom") = "Martin";
  p.Reload();
  EXPECT_EQ(p.Shown, "Martin");
  EXPECT_FALSE(p.Modified());
  EXPECT_EQ(src->Edits, 1);
  EXPECT_TRUE(p.Active());
}

TEST(QvDataConnector, NotificationsRunTheirStepsAndClearModified) {
  auto src = std::make_shared<TSource>();
  src->AddField("Nom", "Dupont");
  TProbe p;
  p.SetDataField("Nom");
  p.SetDataSource(src);
  p.Steps.clear();

  src->Text("Nom") = "Martin";
  p.Modify();
  src->Broadcast(TQvDataNotification::RecordChanged);
  EXPECT_EQ(p.Shown, "Martin");
  EXPECT_FALSE(p.Modified());

  p.Typed = "Bernard";
  src->Broadcast(TQvDataNotification::UpdateData);
  EXPECT_EQ(src->Text("Nom"), "Bernard");

  src->SetActive(false);
  src->Broadcast(TQvDataNotification::ActiveChanged);
  EXPECT_FALSE(p.FieldLink().IsValid());  // an inactive source has no fields
  src->SetActive(true);
  src->Broadcast(TQvDataNotification::ActiveChanged);
  EXPECT_TRUE(p.FieldLink().IsValid());
  src->Broadcast(TQvDataNotification::LayoutChanged);
  EXPECT_EQ(p.Steps,
            (std::vector<std::string>{"load", "write", "active", "load", "active", "load", "layout", "load"}));
  EXPECT_EQ(static_cast<int>(TQvDataNotification::ActiveChanged), 100);
  EXPECT_EQ(static_cast<int>(TQvDataNotification::LayoutChanged), 103);
}

TEST(QvDataConnector, MastersHearTheirSlavesAndLoopsAreRefused) {
  auto src = std::make_shared<TSource>();
  src->AddField("Nom", "Dupont");
  auto master = std::make_unique<TProbe>();
  TProbe slave;
  master->SetDataField("Nom");
  master->SetDataSource(src);
  master->Steps.clear();
  ASSERT_TRUE(slave.SetMaster(master.get()));
  EXPECT_FALSE(master->SetMaster(&slave));  // would loop forever
  EXPECT_FALSE(slave.SetMaster(&slave));
  slave.Notify(TQvDataNotification::RecordChanged);
  EXPECT_EQ(master->Steps, std::vector<std::string>{"load"});

  master.reset();  // the slave lets go of it
  EXPECT_EQ(slave.Master(), nullptr);
  slave.Notify(TQvDataNotification::RecordChanged);
  EXPECT_TRUE(src->Connectors.empty());  // the master unregistered itself
}

TEST(QvDataConnector, DestroyedConnectorUnregisters) {
  auto src = std::make_shared<TSource>();
  {
    TProbe a, b;
    a.SetDataSource(src);
    b.SetDataSource(src);
    EXPECT_EQ(src->Connectors.size(), 2u);
  }
  EXPECT_TRUE(src->Connectors.empty());
}

TEST(QvDataConnector, FieldValuesAsVariantAndText) {
  auto src = std::make_shared<TSource>();
  src->AddField("Vide", "");
  src->AddField("Nom", "Dupont");
  TQvFieldDataConnector c;
  c.SetDataSource(src);
  c.SetDataField("Vide");
  EXPECT_TRUE(c.FieldLink().IsNull());
  EXPECT_TRUE(std::holds_alternative<std::monostate>(c.FieldLink().AsVariant()));
  c.SetDataField("Nom");
  EXPECT_EQ(std::get<std::string>(c.FieldLink().AsVariant()), "Dupont");
  EXPECT_TRUE(c.FieldLink().SetAsVariant(std::string("Petit")));
  EXPECT_EQ(c.FieldLink().AsText(), "Petit");
}

class TEditForm : public qv::fw::TForm {
public:
  TEditForm() : TForm(&App(), "TDataEditTestForm") {
    SetClientSize(200, 60);
    Edit = &Make<qv::fw::TEdit>("EditNom");
    Edit->SetParent(this);
    Edit->SetBounds(8, 8, 150, 21);
    FinishCreate();
    Show();
    App().ProcessMessages();
  }
  qv::fw::TEdit* Edit;
};

TEST(QvDataConnector, EditShowsAndWritesItsField) {
  TEditForm f;
  auto src = std::make_shared<TSource>();
  src->AddField("Nom", "Dupont");
  src->AddField("Code", "42", true);
  src->Upper = true;
  TQvCustomEditDataConnector c(*f.Edit);

  // Unbound: the edit is a plain edit.
  f.Edit->SetText("libre");
  c.Reload();
  c.UpdateRecord();
  EXPECT_EQ(f.Edit->Text(), "libre");

  c.SetDataField("Nom");
  c.SetDataSource(src);
  EXPECT_EQ(f.Edit->Text(), "Dupont");
  EXPECT_FALSE(f.Edit->ReadOnly());
  char shown[64] = {};
  GetWindowTextA(f.Edit->Handle(), shown, sizeof shown);
  EXPECT_STREQ(shown, "Dupont");

  f.Edit->SetText("durand");
  c.Modify();
  c.UpdateRecord();
  EXPECT_EQ(src->Text("Nom"), "DURAND");
  EXPECT_EQ(f.Edit->Text(), "DURAND");  // shows what the source kept

  c.SetDataField("Code");
  EXPECT_EQ(f.Edit->Text(), "42");
  EXPECT_TRUE(f.Edit->ReadOnly());
  // A write request for a read-only field leaves the field alone.
  f.Edit->SetText("99");
  src->Broadcast(TQvDataNotification::UpdateData);
  EXPECT_EQ(src->Text("Code"), "42");

  c.SetDataField("Absent");
  EXPECT_EQ(f.Edit->Text(), "");
  EXPECT_FALSE(f.Edit->ReadOnly());
}

}  // namespace
}  // namespace qv::controls

// Data connectors.
#include "support/QvDataSourceIntf.h"

#include <algorithm>

#include "framework/StdCtrls.h"

namespace qv::controls {

// ---- Field ------------------------------------------------------------------

void TQvDataConnectorField::Resolve(IQvDataSource* source) {
  m_source = source;
  m_field = (source && source->IsActive() && !m_name.empty()) ? source->FieldByName(m_name) : nullptr;
}

bool TQvDataConnectorField::SetAsVariant(const TQvVariant& value) {
  if (!IsValid()) return false;
  m_source->SetFieldValue(m_field, value);
  return true;
}

bool TQvDataConnectorField::SetAsText(const std::string& text) {
  if (!IsValid()) return false;
  m_source->SetFieldText(m_field, text);
  return true;
}

// ---- Connector --------------------------------------------------------------

// Load and write steps change the control, whose change handlers call back
// into the connector: the lock keeps those calls from starting edits or
// nested loads.
class TQvDataConnector::TLock {
public:
  explicit TLock(TQvDataConnector& c) : m_c(c) { ++m_c.m_lockCount; }
  ~TLock() { --m_c.m_lockCount; }
  TLock(const TLock&) = delete;
  TLock& operator=(const TLock&) = delete;

private:
  TQvDataConnector& m_c;
};

TQvDataConnector::~TQvDataConnector() {
  if (IQvDataSourceConnection* c = Connection()) c->UnregisterConnector(this);
  // Slaves must not pass notifications to a freed master.
  for (TQvDataConnector* slave : m_slaves) slave->m_master = nullptr;
  if (m_master) std::erase(m_master->m_slaves, this);
}

IQvDataSourceConnection* TQvDataConnector::Connection() const {
  return dynamic_cast<IQvDataSourceConnection*>(m_source.get());
}

void TQvDataConnector::SetDataSource(std::shared_ptr<IQvDataSource> source) {
  if (source == m_source) return;
  if (m_source) {
    if (IQvDataSourceConnection* c = Connection()) c->UnregisterConnector(this);
    m_source.reset();
    m_active = false;
    m_modified = false;
    for (auto& f : m_fields) f->Clear();
    Disconnected();
  }
  auto* connection = dynamic_cast<IQvDataSourceConnection*>(source.get());
  if (!connection) return;
  m_source = std::move(source);
  connection->RegisterConnector(this);
  m_active = true;
  Connected();
}

bool TQvDataConnector::SetMaster(TQvDataConnector* master) {
  for (TQvDataConnector* m = master; m; m = m->m_master)
    if (m == this) return false;
  if (m_master) std::erase(m_master->m_slaves, this);
  m_master = master;
  if (m_master) m_master->m_slaves.push_back(this);
  return true;
}

void TQvDataConnector::Notify(TQvDataNotification what) {
  if (m_lockCount == 0) {
    switch (what) {
      case TQvDataNotification::ActiveChanged: ActiveChanged(); break;
      case TQvDataNotification::RecordChanged: LoadRecord(); break;
      case TQvDataNotification::UpdateData: WriteRecord(); break;
      case TQvDataNotification::LayoutChanged: LayoutChanged(); break;
    }
  }
  m_modified = false;
  if (m_master) m_master->Notify(what);
}

void TQvDataConnector::LoadRecord() {
  TLock lock(*this);
  RecordChanged();
}

void TQvDataConnector::WriteRecord() {
  TLock lock(*this);
  UpdateData();
}

void TQvDataConnector::Reload() {
  if (!SourceActive() || !m_active) return;
  // Inactive meanwhile, so the control's change handler marks nothing.
  m_active = false;
  try {
    LoadRecord();
  } catch (...) {
    m_active = true;
    throw;
  }
  m_active = true;
  m_modified = false;
}

bool TQvDataConnector::CanModify() const { return m_active && m_source != nullptr; }

void TQvDataConnector::Modify() {
  if (!m_active || m_lockCount > 0 || !CanModify()) return;
  if (IQvDataSourceConnection* c = Connection()) c->StartEdit();
  m_modified = true;
}

void TQvDataConnector::UpdateRecord() {
  if (!SourceActive() || !m_modified || !m_active) return;
  WriteRecord();
  m_modified = false;
}

TQvDataConnectorField& TQvDataConnector::AddField(const std::string& name) {
  m_fields.push_back(std::make_unique<TQvDataConnectorField>(name));
  m_fields.back()->Resolve(m_source.get());
  return *m_fields.back();
}

void TQvDataConnector::ResolveFields() {
  for (auto& f : m_fields) f->Resolve(m_source.get());
}

// ---- Field connector --------------------------------------------------------

TQvFieldDataConnector::TQvFieldDataConnector() : m_field(&AddField({})) {}

void TQvFieldDataConnector::SetDataField(const std::string& name) {
  if (name == m_field->FieldName()) return;
  m_field->SetFieldName(name);
  m_field->Resolve(DataSource().get());
  Reload();
}

bool TQvFieldDataConnector::CanModify() const { return TQvDataConnector::CanModify() && m_field->CanModify(); }

void TQvFieldDataConnector::ActiveChanged() {
  ResolveFields();
  LoadRecord();
}

void TQvFieldDataConnector::LayoutChanged() {
  ResolveFields();
  LoadRecord();
}

void TQvFieldDataConnector::Connected() {
  ResolveFields();
  Reload();
}

// ---- Edit connector ---------------------------------------------------------

void TQvCustomEditDataConnector::RecordChanged() {
  const TQvDataConnectorField& field = FieldLink();
  if (field.IsValid()) {
    m_edit.SetReadOnly(!field.CanModify());
    m_edit.SetText(field.AsText());
  } else {
    m_edit.SetText("");
    m_edit.SetReadOnly(false);
  }
}

void TQvCustomEditDataConnector::UpdateData() {
  TQvDataConnectorField& field = FieldLink();
  // A field that cannot be written keeps its value (the edit was read-only).
  if (!field.CanModify()) return;
  field.SetAsText(m_edit.Text());
  m_edit.SetText(field.AsText());  // what the source made of it
}

}  // namespace qv::controls

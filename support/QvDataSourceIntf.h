// Data connectors: what binds a control to fields of a data source. The
// source pushes four notifications (active changed, record changed, update
// data, layout changed); the connector answers each with one overridable
// step, remembers whether the control's value was edited, and writes it
// back on request. No window of the program binds a control to a source,
// so every connector of the program stays unbound and all its operations
// are then no-ops; the source side exists here only as interfaces.
// Example (an edit's hooks):
//   Change()  -> DataConnector().Modify();
//   DoExit()  -> DataConnector().UpdateRecord();
//   Loaded(), Escape -> DataConnector().Reload();
// Main thread only. Tested by tests/support/QvDataSourceIntf_test.cpp.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "support/QvQCLUtils.h"

namespace qv::fw {
class TCustomEdit;
}

namespace qv::controls {

// A field value as the source hands it over; monostate is the null value.
using TQvVariant = std::variant<std::monostate, bool, int64_t, double, std::string, TCurrency>;
// The source's own field object, opaque to connectors.
using TQvFieldObject = const void*;

enum class TQvDataNotification { ActiveChanged = 100, RecordChanged = 101, UpdateData = 102, LayoutChanged = 103 };

class TQvDataConnector;

// What a connector asks of a data source.
class IQvDataSource {
public:
  virtual ~IQvDataSource() = default;
  virtual bool IsActive() const = 0;
  // Nothing when the source has no such field.
  virtual TQvFieldObject FieldByName(const std::string& name) const = 0;
  virtual bool FieldIsNull(TQvFieldObject field) const = 0;
  virtual bool FieldCanModify(TQvFieldObject field) const = 0;
  virtual TQvVariant FieldValue(TQvFieldObject field) const = 0;
  virtual void SetFieldValue(TQvFieldObject field, const TQvVariant& value) = 0;
  virtual std::string FieldText(TQvFieldObject field) const = 0;
  virtual void SetFieldText(TQvFieldObject field, const std::string& text) = 0;
};

// The part of a source that keeps connectors. A source that does not
// offer it cannot notify anybody, and a connector does not keep it.
class IQvDataSourceConnection {
public:
  static constexpr const char* kIID = "{CCAB936A-6CB4-4047-95C8-7EBFC5DC4B9F}";
  virtual ~IQvDataSourceConnection() = default;
  virtual void RegisterConnector(TQvDataConnector* connector) = 0;
  virtual void UnregisterConnector(TQvDataConnector* connector) = 0;
  // Puts the current record into edit mode.
  virtual void StartEdit() = 0;
};

// One named field of a connector's source.
class TQvDataConnectorField {
public:
  explicit TQvDataConnectorField(std::string name = {}) : m_name(std::move(name)) {}

  const std::string& FieldName() const { return m_name; }
  void SetFieldName(const std::string& name) { m_name = name; }
  // Looks the field up again (only an active source has fields).
  void Resolve(IQvDataSource* source);
  void Clear() { Resolve(nullptr); }

  bool IsValid() const { return m_source && m_field; }
  bool CanModify() const { return IsValid() && m_source->FieldCanModify(m_field); }
  // Null also when the field is not valid.
  bool IsNull() const { return !IsValid() || m_source->FieldIsNull(m_field); }
  TQvVariant AsVariant() const { return IsValid() ? m_source->FieldValue(m_field) : TQvVariant{}; }
  std::string AsText() const { return IsValid() ? m_source->FieldText(m_field) : std::string(); }
  // Writes only to a valid field; false otherwise.
  bool SetAsVariant(const TQvVariant& value);
  bool SetAsText(const std::string& text);

private:
  std::string m_name;
  IQvDataSource* m_source = nullptr;
  TQvFieldObject m_field = nullptr;
};

class TQvDataConnector {
public:
  TQvDataConnector() = default;
  virtual ~TQvDataConnector();  // unregisters from the source
  TQvDataConnector(const TQvDataConnector&) = delete;
  TQvDataConnector& operator=(const TQvDataConnector&) = delete;

  const std::shared_ptr<IQvDataSource>& DataSource() const { return m_source; }
  // Unregisters from the old source, then registers with the new one when
  // it offers IQvDataSourceConnection (otherwise the new one is dropped).
  void SetDataSource(std::shared_ptr<IQvDataSource> source);

  bool Active() const { return m_active; }
  bool Modified() const { return m_modified; }
  bool RecordChangeLocked() const { return m_lockCount > 0; }

  // Notifications of this connector are passed on to the master. A master
  // that would close a loop is refused (false); a freed master is let go.
  TQvDataConnector* Master() const { return m_master; }
  bool SetMaster(TQvDataConnector* master);

  // The source's notification.
  void Notify(TQvDataNotification what);

  // Loads the record again (active connector of an active source).
  void Reload();
  // Starts an edit on the source and marks the value modified, when an
  // edit can be started now.
  void Modify();
  // Writes a modified value back to the source.
  void UpdateRecord();
  // Active with a source (subclasses add their own conditions).
  virtual bool CanModify() const;

  int FieldCount() const { return static_cast<int>(m_fields.size()); }
  TQvDataConnectorField& Field(int i) { return *m_fields.at(static_cast<size_t>(i)); }

protected:
  TQvDataConnectorField& AddField(const std::string& name);
  // Resolves every field against the current source.
  void ResolveFields();
  bool SourceActive() const { return m_source && m_source->IsActive(); }

  // The steps, each run for its notification.
  virtual void ActiveChanged() {}
  virtual void RecordChanged() {}
  virtual void UpdateData() {}
  virtual void LayoutChanged() {}
  virtual void Connected() {}
  virtual void Disconnected() {}

  // Runs the load (or write) step under the record-change lock.
  void LoadRecord();
  void WriteRecord();

private:
  class TLock;
  IQvDataSourceConnection* Connection() const;

  std::shared_ptr<IQvDataSource> m_source;
  bool m_active = false;
  bool m_modified = false;
  int m_lockCount = 0;
  TQvDataConnector* m_master = nullptr;
  std::vector<TQvDataConnector*> m_slaves;  // connectors whose master this is
  std::vector<std::unique_ptr<TQvDataConnectorField>> m_fields;
};

// A connector bound to one field, named by DataField.
class TQvFieldDataConnector : public TQvDataConnector {
public:
  TQvFieldDataConnector();

  const std::string& DataField() const { return m_field->FieldName(); }
  // Resolves the new field and loads it.
  void SetDataField(const std::string& name);
  TQvDataConnectorField& FieldLink() { return *m_field; }
  const TQvDataConnectorField& FieldLink() const { return *m_field; }

  // Also needs a field that can be written.
  bool CanModify() const override;

protected:
  void ActiveChanged() override;
  void LayoutChanged() override;
  void Connected() override;

private:
  TQvDataConnectorField* m_field;
};

// An edit's connector: loads the field's text into the edit (read-only
// when the field cannot be written, empty and writable when there is no
// field) and writes the edit's text back.
class TQvCustomEditDataConnector : public TQvFieldDataConnector {
public:
  explicit TQvCustomEditDataConnector(qv::fw::TCustomEdit& edit) : m_edit(edit) {}
  qv::fw::TCustomEdit& Edit() const { return m_edit; }

protected:
  void RecordChanged() override;
  void UpdateData() override;

private:
  qv::fw::TCustomEdit& m_edit;
};

}  // namespace qv::controls

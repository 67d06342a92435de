// The double's ADODB.Recordset, its Fields and Field objects.
#include "testing/ado_double/recordset_object.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "base/jet_types.h"
#include "base/text.h"
#include "platform/windows/utf16.h"
#include "testing/ado_double/connection_object.h"
#include "testing/ado_double/errors_object.h"
#include "testing/ado_double/jet_values.h"

namespace telo::ado_double {
namespace {

using Microsoft::WRL::ComPtr;

constexpr std::string_view kSource = "ADODB.Recordset";
// _Recordset, Recordset21, Recordset20 and Recordset15 of ADO 2.8 and 6.0, _ADO.
constexpr GUID kRecordsetIids[] = {AdoGuid(0x556),  AdoGuid(0x1556), AdoGuid(0x555),
                                   AdoGuid(0x1555), AdoGuid(0x54F),  AdoGuid(0x154F),
                                   AdoGuid(0x50E),  AdoGuid(0x150E), AdoGuid(0x534)};
// Fields, Fields20, Fields15, _Collection.
constexpr GUID kFieldsIids[] = {AdoGuid(0x564), AdoGuid(0x1564), AdoGuid(0x54D), AdoGuid(0x154D),
                                AdoGuid(0x506), AdoGuid(0x1506), AdoGuid(0x512)};
// Field, Field20, Field15, _ADO.
constexpr GUID kFieldIids[] = {AdoGuid(0x569), AdoGuid(0x1569), AdoGuid(0x54C), AdoGuid(0x154C),
                               AdoGuid(0x505), AdoGuid(0x1505), AdoGuid(0x534)};

HRESULT Fail(const Status& failure) { return Report(failure, nullptr, kSource); }

class FieldObject final : public ComObject<ADOField> {
 public:
  FieldObject(ComPtr<RecordsetObject> recordset, std::size_t column)
      : ComObject(kFieldIids), recordset_(std::move(recordset)), column_(column) {}

  HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override {
    if (name == nullptr) return E_POINTER;
    *name = NewBstr(recordset_->columns()[column_]);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Value(VARIANT* value) override {
    return recordset_->CurrentValue(column_, value);
  }

  TELO_ADO_NOT_IMPLEMENTED(get_Properties, ADOProperties**)
  TELO_ADO_NOT_IMPLEMENTED(get_ActualSize, ADO_LONGPTR*)
  TELO_ADO_NOT_IMPLEMENTED(get_Attributes, long*)
  TELO_ADO_NOT_IMPLEMENTED(get_DefinedSize, ADO_LONGPTR*)
  TELO_ADO_NOT_IMPLEMENTED(get_Type, DataTypeEnum*)
  TELO_ADO_NOT_IMPLEMENTED(put_Value, VARIANT)
  TELO_ADO_NOT_IMPLEMENTED(get_Precision, BYTE*)
  TELO_ADO_NOT_IMPLEMENTED(get_NumericScale, BYTE*)
  TELO_ADO_NOT_IMPLEMENTED(AppendChunk, VARIANT)
  TELO_ADO_NOT_IMPLEMENTED(GetChunk, long, VARIANT*)
  TELO_ADO_NOT_IMPLEMENTED(get_OriginalValue, VARIANT*)
  TELO_ADO_NOT_IMPLEMENTED(get_UnderlyingValue, VARIANT*)
  TELO_ADO_NOT_IMPLEMENTED(get_DataFormat, IUnknown**)
  TELO_ADO_NOT_IMPLEMENTED(putref_DataFormat, IUnknown*)
  TELO_ADO_NOT_IMPLEMENTED(put_Precision, BYTE)
  TELO_ADO_NOT_IMPLEMENTED(put_NumericScale, BYTE)
  TELO_ADO_NOT_IMPLEMENTED(put_Type, DataTypeEnum)
  TELO_ADO_NOT_IMPLEMENTED(put_DefinedSize, ADO_LONGPTR)
  TELO_ADO_NOT_IMPLEMENTED(put_Attributes, long)
  TELO_ADO_NOT_IMPLEMENTED(get_Status, long*)

 private:
  ComPtr<RecordsetObject> recordset_;
  std::size_t column_;
};

class FieldsObject final : public ComObject<ADOFields> {
 public:
  explicit FieldsObject(ComPtr<RecordsetObject> recordset)
      : ComObject(kFieldsIids), recordset_(std::move(recordset)) {}

  HRESULT STDMETHODCALLTYPE get_Count(long* count) override {
    if (count == nullptr) return E_POINTER;
    *count = static_cast<long>(recordset_->columns().size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, ADOField** field) override {
    if (field == nullptr) return E_POINTER;
    *field = nullptr;
    const std::optional<std::size_t> column = ColumnOf(index);
    if (!column) return Fail(ItemNotFound());
    *field = new FieldObject(recordset_, *column);
    return S_OK;
  }

  TELO_ADO_NOT_IMPLEMENTED(_NewEnum, IUnknown**)
  TELO_ADO_NOT_IMPLEMENTED(Refresh)
  TELO_ADO_NOT_IMPLEMENTED(_Append, BSTR, DataTypeEnum, ADO_LONGPTR, FieldAttributeEnum)
  TELO_ADO_NOT_IMPLEMENTED(Delete, VARIANT)
  TELO_ADO_NOT_IMPLEMENTED(Append, BSTR, DataTypeEnum, ADO_LONGPTR, FieldAttributeEnum, VARIANT)
  TELO_ADO_NOT_IMPLEMENTED(Update)
  TELO_ADO_NOT_IMPLEMENTED(Resync, ResyncEnum)
  TELO_ADO_NOT_IMPLEMENTED(CancelUpdate)

 private:
  // A field by position or by name.
  std::optional<std::size_t> ColumnOf(const VARIANT& index) const {
    const std::vector<std::string>& columns = recordset_->columns();
    if (index.vt == VT_BSTR) {
      const std::string name = Utf8FromUtf16({index.bstrVal, SysStringLen(index.bstrVal)});
      for (std::size_t i = 0; i < columns.size(); ++i) {
        if (EqualsIgnoreCase(columns[i], name)) return i;
      }
      return std::nullopt;
    }
    VARIANT number;
    VariantInit(&number);
    if (FAILED(VariantChangeType(&number, const_cast<VARIANT*>(&index), 0, VT_I4)) ||
        number.lVal < 0 || static_cast<std::size_t>(number.lVal) >= columns.size()) {
      return std::nullopt;
    }
    return static_cast<std::size_t>(number.lVal);
  }

  ComPtr<RecordsetObject> recordset_;
};

IUnknown* ObjectIn(const VARIANT& value) {
  if (value.vt == VT_DISPATCH) return value.pdispVal;
  if (value.vt == VT_UNKNOWN) return value.punkVal;
  return nullptr;
}

}  // namespace

RecordsetObject::RecordsetObject() : ComObject(kRecordsetIids) {}

RecordsetObject::~RecordsetObject() { Clear(); }

void RecordsetObject::Clear() {
  for (VARIANT& cell : cells_) VariantClear(&cell);
  cells_.clear();
  columns_.clear();
  row_count_ = 0;
  position_ = 0;
  open_ = false;
}

HRESULT RecordsetObject::Open(VARIANT source, VARIANT active_connection, CursorTypeEnum,
                              LockTypeEnum, LONG) {
  if (open_) return Fail(ObjectOpen());
  if (source.vt != VT_BSTR) return Fail(WrongArguments());
  ComPtr<ConnectionObject> connection = ConnectionObject::Behind(ObjectIn(active_connection));
  if (!connection) return Fail(ConnectionUnusable());
  FakeSelection selection;
  const std::string query = Utf8FromUtf16({source.bstrVal, SysStringLen(source.bstrVal)});
  if (HRESULT hr = connection->Select(query, &selection); FAILED(hr)) return hr;

  std::vector<JetColumnType> types;
  for (const std::string& declared : selection.types) types.push_back(ParseJetColumnType(declared));
  for (const auto& row : selection.rows) {
    for (std::size_t i = 0; i < row.size(); ++i) {
      Status converted = VariantFromLiteral(row[i], types[i], &cells_.emplace_back());
      if (!converted.ok()) {
        Clear();
        return connection->Fail(converted);
      }
    }
  }
  columns_ = std::move(selection.columns);
  row_count_ = selection.rows.size();
  position_ = 0;
  open_ = true;
  return S_OK;
}

HRESULT RecordsetObject::Close() {
  if (!open_) return Fail(ObjectClosed());
  Clear();
  return S_OK;
}

HRESULT RecordsetObject::get_Fields(ADOFields** fields) {
  if (fields == nullptr) return E_POINTER;
  *fields = new FieldsObject(this);
  return S_OK;
}

HRESULT RecordsetObject::get_EOF(VARIANT_BOOL* at_end) {
  if (at_end == nullptr) return E_POINTER;
  if (!open_) return Fail(ObjectClosed());
  *at_end = position_ >= row_count_ ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT RecordsetObject::get_BOF(VARIANT_BOOL* at_start) {
  if (at_start == nullptr) return E_POINTER;
  if (!open_) return Fail(ObjectClosed());
  *at_start = row_count_ == 0 ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT RecordsetObject::MoveNext() {
  if (!open_) return Fail(ObjectClosed());
  if (position_ >= row_count_) return Fail(NoCurrentRecord());
  ++position_;
  return S_OK;
}

HRESULT RecordsetObject::get_State(LONG* state) {
  if (state == nullptr) return E_POINTER;
  *state = open_ ? adStateOpen : adStateClosed;
  return S_OK;
}

HRESULT RecordsetObject::CurrentValue(std::size_t column, VARIANT* value) {
  if (value == nullptr) return E_POINTER;
  VariantInit(value);
  if (!open_) return Fail(ObjectClosed());
  if (position_ >= row_count_) return Fail(NoCurrentRecord());
  return VariantCopy(value, &cells_[position_ * columns_.size() + column]);
}

}  // namespace telo::ado_double

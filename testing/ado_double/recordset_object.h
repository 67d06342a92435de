// RecordsetObject: the ADO double's ADODB.Recordset. Open runs a query text
// on the double's own connection (the ActiveConnection, as an IDispatch)
// and reads every row at once, with that connection's uncommitted writes;
// then Fields (Count, Item by position or name, Name, Value), EOF, BOF,
// MoveNext, State and Close work as on a forward-only, read-only recordset.
// Query failures go to the connection's Errors, as in ADO. Every other
// member returns E_NOTIMPL. Field objects read the current row, so one
// taken before MoveNext shows the next row after it.
#pragma once

#include <wrl/client.h>

#include <string>
#include <vector>

// adoint.h needs windows.h first.
// clang-format off
#include <windows.h>
#include <adoint.h>
// clang-format on

#include "testing/ado_double/com_object.h"

namespace telo::ado_double {

class RecordsetObject final : public ComObject<_ADORecordset> {
 public:
  RecordsetObject();
  ~RecordsetObject() override;

  // For Fields and Field.
  bool is_open() const { return open_; }
  const std::vector<std::string>& columns() const { return columns_; }
  HRESULT CurrentValue(std::size_t column, VARIANT* value);

  HRESULT STDMETHODCALLTYPE Open(VARIANT source, VARIANT active_connection,
                                 CursorTypeEnum cursor_type, LockTypeEnum lock_type,
                                 LONG options) override;
  HRESULT STDMETHODCALLTYPE Close() override;
  HRESULT STDMETHODCALLTYPE get_Fields(ADOFields** fields) override;
  HRESULT STDMETHODCALLTYPE get_EOF(VARIANT_BOOL* at_end) override;
  HRESULT STDMETHODCALLTYPE get_BOF(VARIANT_BOOL* at_start) override;
  HRESULT STDMETHODCALLTYPE MoveNext() override;
  HRESULT STDMETHODCALLTYPE get_State(LONG* state) override;

  TELO_ADO_NOT_IMPLEMENTED(get_Properties, ADOProperties**)
  TELO_ADO_NOT_IMPLEMENTED(get_AbsolutePosition, PositionEnum_Param*)
  TELO_ADO_NOT_IMPLEMENTED(put_AbsolutePosition, PositionEnum_Param)
  TELO_ADO_NOT_IMPLEMENTED(putref_ActiveConnection, IDispatch*)
  TELO_ADO_NOT_IMPLEMENTED(put_ActiveConnection, VARIANT)
  TELO_ADO_NOT_IMPLEMENTED(get_ActiveConnection, VARIANT*)
  TELO_ADO_NOT_IMPLEMENTED(get_Bookmark, VARIANT*)
  TELO_ADO_NOT_IMPLEMENTED(put_Bookmark, VARIANT)
  TELO_ADO_NOT_IMPLEMENTED(get_CacheSize, long*)
  TELO_ADO_NOT_IMPLEMENTED(put_CacheSize, long)
  TELO_ADO_NOT_IMPLEMENTED(get_CursorType, CursorTypeEnum*)
  TELO_ADO_NOT_IMPLEMENTED(put_CursorType, CursorTypeEnum)
  TELO_ADO_NOT_IMPLEMENTED(get_LockType, LockTypeEnum*)
  TELO_ADO_NOT_IMPLEMENTED(put_LockType, LockTypeEnum)
  TELO_ADO_NOT_IMPLEMENTED(get_MaxRecords, ADO_LONGPTR*)
  TELO_ADO_NOT_IMPLEMENTED(put_MaxRecords, ADO_LONGPTR)
  TELO_ADO_NOT_IMPLEMENTED(get_RecordCount, ADO_LONGPTR*)
  TELO_ADO_NOT_IMPLEMENTED(putref_Source, IDispatch*)
  TELO_ADO_NOT_IMPLEMENTED(put_Source, BSTR)
  TELO_ADO_NOT_IMPLEMENTED(get_Source, VARIANT*)
  TELO_ADO_NOT_IMPLEMENTED(AddNew, VARIANT, VARIANT)
  TELO_ADO_NOT_IMPLEMENTED(CancelUpdate)
  TELO_ADO_NOT_IMPLEMENTED(Delete, AffectEnum)
  TELO_ADO_NOT_IMPLEMENTED(GetRows, long, VARIANT, VARIANT, VARIANT*)
  TELO_ADO_NOT_IMPLEMENTED(Move, ADO_LONGPTR, VARIANT)
  TELO_ADO_NOT_IMPLEMENTED(MovePrevious)
  TELO_ADO_NOT_IMPLEMENTED(MoveFirst)
  TELO_ADO_NOT_IMPLEMENTED(MoveLast)
  TELO_ADO_NOT_IMPLEMENTED(Requery, LONG)
  TELO_ADO_NOT_IMPLEMENTED(_xResync, AffectEnum)
  TELO_ADO_NOT_IMPLEMENTED(Update, VARIANT, VARIANT)
  TELO_ADO_NOT_IMPLEMENTED(get_AbsolutePage, PositionEnum_Param*)
  TELO_ADO_NOT_IMPLEMENTED(put_AbsolutePage, PositionEnum_Param)
  TELO_ADO_NOT_IMPLEMENTED(get_EditMode, EditModeEnum*)
  TELO_ADO_NOT_IMPLEMENTED(get_Filter, VARIANT*)
  TELO_ADO_NOT_IMPLEMENTED(put_Filter, VARIANT)
  TELO_ADO_NOT_IMPLEMENTED(get_PageCount, ADO_LONGPTR*)
  TELO_ADO_NOT_IMPLEMENTED(get_PageSize, long*)
  TELO_ADO_NOT_IMPLEMENTED(put_PageSize, long)
  TELO_ADO_NOT_IMPLEMENTED(get_Sort, BSTR*)
  TELO_ADO_NOT_IMPLEMENTED(put_Sort, BSTR)
  TELO_ADO_NOT_IMPLEMENTED(get_Status, long*)
  TELO_ADO_NOT_IMPLEMENTED(_xClone, _ADORecordset**)
  TELO_ADO_NOT_IMPLEMENTED(UpdateBatch, AffectEnum)
  TELO_ADO_NOT_IMPLEMENTED(CancelBatch, AffectEnum)
  TELO_ADO_NOT_IMPLEMENTED(get_CursorLocation, CursorLocationEnum*)
  TELO_ADO_NOT_IMPLEMENTED(put_CursorLocation, CursorLocationEnum)
  TELO_ADO_NOT_IMPLEMENTED(NextRecordset, VARIANT*, _ADORecordset**)
  TELO_ADO_NOT_IMPLEMENTED(Supports, CursorOptionEnum, VARIANT_BOOL*)
  TELO_ADO_NOT_IMPLEMENTED(get_Collect, VARIANT, VARIANT*)
  TELO_ADO_NOT_IMPLEMENTED(put_Collect, VARIANT, VARIANT)
  TELO_ADO_NOT_IMPLEMENTED(get_MarshalOptions, MarshalOptionsEnum*)
  TELO_ADO_NOT_IMPLEMENTED(put_MarshalOptions, MarshalOptionsEnum)
  TELO_ADO_NOT_IMPLEMENTED(Find, BSTR, ADO_LONGPTR, SearchDirectionEnum, VARIANT)
  TELO_ADO_NOT_IMPLEMENTED(Cancel)
  TELO_ADO_NOT_IMPLEMENTED(get_DataSource, IUnknown**)
  TELO_ADO_NOT_IMPLEMENTED(putref_DataSource, IUnknown*)
  TELO_ADO_NOT_IMPLEMENTED(_xSave, BSTR, PersistFormatEnum)
  TELO_ADO_NOT_IMPLEMENTED(get_ActiveCommand, IDispatch**)
  TELO_ADO_NOT_IMPLEMENTED(put_StayInSync, VARIANT_BOOL)
  TELO_ADO_NOT_IMPLEMENTED(get_StayInSync, VARIANT_BOOL*)
  TELO_ADO_NOT_IMPLEMENTED(GetString, StringFormatEnum, long, BSTR, BSTR, BSTR, BSTR*)
  TELO_ADO_NOT_IMPLEMENTED(get_DataMember, BSTR*)
  TELO_ADO_NOT_IMPLEMENTED(put_DataMember, BSTR)
  TELO_ADO_NOT_IMPLEMENTED(CompareBookmarks, VARIANT, VARIANT, CompareEnum*)
  TELO_ADO_NOT_IMPLEMENTED(Clone, LockTypeEnum, _ADORecordset**)
  TELO_ADO_NOT_IMPLEMENTED(Resync, AffectEnum, ResyncEnum)
  TELO_ADO_NOT_IMPLEMENTED(Seek, VARIANT, SeekEnum)
  TELO_ADO_NOT_IMPLEMENTED(put_Index, BSTR)
  TELO_ADO_NOT_IMPLEMENTED(get_Index, BSTR*)
  TELO_ADO_NOT_IMPLEMENTED(Save, VARIANT, PersistFormatEnum)

 private:
  void Clear();

  bool open_ = false;
  std::vector<std::string> columns_;
  std::vector<VARIANT> cells_;  // row after row, owned
  std::size_t row_count_ = 0;
  std::size_t position_ = 0;
};

}  // namespace telo::ado_double

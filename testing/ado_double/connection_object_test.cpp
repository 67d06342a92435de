// The ADO double as any ADO client meets it through the registry: the
// level BeginTrans returns, a provider error in both the Errors collection
// and the thread's IErrorInfo, ADO's own errors in IErrorInfo only, and a
// Recordset that refuses a connection that isn't the double's.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>
#include <wrl/client.h>

// adoint.h needs windows.h first.
// clang-format off
#include <adoint.h>
// clang-format on

#include "platform/windows/com_apartment.h"
#include "platform/windows/utf16.h"
#include "testing/ado_double/com_object.h"
#include "testing/ado_double/fixture_folder.h"
#include "testing/ado_double/jet_fixture.h"

namespace telo::ado_double {
namespace {

using Microsoft::WRL::ComPtr;

std::string Text(BSTR text) {
  std::string utf8 = Utf8FromUtf16({text, SysStringLen(text)});
  SysFreeString(text);
  return utf8;
}

BSTR Bstr(std::string_view text) {
  const std::wstring wide = Utf16FromUtf8(text);
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

std::string ThreadErrorDescription() {
  ComPtr<IErrorInfo> info;
  BSTR description = nullptr;
  if (GetErrorInfo(0, &info) != S_OK || FAILED(info->GetDescription(&description))) return {};
  return Text(description);
}

struct ErrorItem {
  long number = 0;
  std::string description;
  std::string source;
};

std::vector<ErrorItem> ErrorItems(_ADOConnection* connection) {
  ComPtr<ADOErrors> errors;
  long count = 0;
  EXPECT_EQ(connection->get_Errors(&errors), S_OK);
  EXPECT_EQ(errors->get_Count(&count), S_OK);
  std::vector<ErrorItem> items(count);
  for (long i = 0; i < count; ++i) {
    VARIANT index;
    index.vt = VT_I4;
    index.lVal = i;
    ComPtr<ADOError> error;
    BSTR description = nullptr, source = nullptr;
    EXPECT_EQ(errors->get_Item(index, &error), S_OK);
    error->get_Number(&items[i].number);
    error->get_Description(&description);
    error->get_Source(&source);
    items[i].description = Text(description);
    items[i].source = Text(source);
  }
  return items;
}

TEST(AdoDoubleTest, ReportsProviderErrorsInErrorsAndErrorInfoAndOwnErrorsInErrorInfoOnly) {
  ComApartment com;
  ASSERT_TRUE(com.status().ok());
  FixtureFolder folder;
  const std::string database = folder.File("CVL.MDB");
  ASSERT_TRUE(WriteJetFixtureFile(database, JetFixture{}).ok());
  ComPtr<_ADOConnection> connection;
  ASSERT_EQ(CoCreateInstance(kConnectionClsid, nullptr, CLSCTX_INPROC_SERVER, AdoGuid(0x550),
                             &connection),
            S_OK)
      << "the double is registered as ADODB.Connection";
  BSTR open_string = Bstr("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + database);
  ASSERT_EQ(connection->Open(open_string, nullptr, nullptr, adOptionUnspecified), S_OK);

  for (long expected = 1; expected <= 5; ++expected) {
    long level = 0;
    ASSERT_EQ(connection->BeginTrans(&level), S_OK);
    EXPECT_EQ(level, expected);
  }
  long level = 0;
  EXPECT_EQ(connection->BeginTrans(&level), E_FAIL);
  const std::string nested = "Could not start transaction; too many transactions already nested.";
  const std::vector<ErrorItem> items = ErrorItems(connection.Get());
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].number, E_FAIL);
  EXPECT_EQ(items[0].description, nested);
  EXPECT_EQ(items[0].source, "Microsoft JET Database Engine");
  EXPECT_EQ(ThreadErrorDescription(), nested);

  ComPtr<ADOErrors> errors;
  ASSERT_EQ(connection->get_Errors(&errors), S_OK);
  EXPECT_EQ(errors->Clear(), S_OK);
  EXPECT_EQ(connection->Open(open_string, nullptr, nullptr, adOptionUnspecified),
            static_cast<HRESULT>(0x800A0E79));
  EXPECT_TRUE(ErrorItems(connection.Get()).empty()) << "ADO's own errors aren't provider errors";
  EXPECT_EQ(ThreadErrorDescription(), "Operation is not allowed when the object is open.");
  SysFreeString(open_string);

  ComPtr<_ADORecordset> recordset;
  ASSERT_EQ(
      CoCreateInstance(kRecordsetClsid, nullptr, CLSCTX_INPROC_SERVER, AdoGuid(0x556), &recordset),
      S_OK);
  VARIANT source, foreign;
  source.vt = VT_BSTR;
  source.bstrVal = Bstr("SELECT a FROM T");
  foreign.vt = VT_DISPATCH;
  foreign.pdispVal = errors.Get();  // an IDispatch, but no connection
  EXPECT_EQ(recordset->Open(source, foreign, adOpenForwardOnly, adLockReadOnly, adCmdText),
            static_cast<HRESULT>(0x800A0E7D));
  VariantClear(&source);
  EXPECT_EQ(connection->Close(), S_OK);
}

}  // namespace
}  // namespace telo::ado_double

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
  std::string sql_state;  // Jet's error number
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
    BSTR description = nullptr, source = nullptr, sql_state = nullptr;
    EXPECT_EQ(errors->get_Item(index, &error), S_OK);
    error->get_Number(&items[i].number);
    error->get_Description(&description);
    error->get_Source(&source);
    error->get_SQLState(&sql_state);
    items[i].description = Text(description);
    items[i].source = Text(source);
    items[i].sql_state = Text(sql_state);
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
  EXPECT_EQ(items[0].sql_state, "3003");
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

// Where the double was more lenient than Jet: it matched no row where Jet
// refuses to compare a number with text, gave Null to every column an insert
// doesn't name, and refused a write to a read-only database with another
// error than Jet's.
TEST(AdoDoubleTest, FollowsJetWhereItWasMoreLenient) {
  using Rows = std::vector<std::vector<std::string>>;
  constexpr HRESULT kMismatch = static_cast<HRESULT>(0x80040E07);
  constexpr HRESULT kReadOnly = static_cast<HRESULT>(0x80040E09);
  const std::string mismatch = "Data type mismatch in criteria expression.";
  const std::string read_only = "Cannot update.  Database or object is read-only.";
  const FakeTable text_keys = {{"scheme", "comm_rate"}, {{"'2'", "1"}}, {"TEXT(10)", "DOUBLE"}};
  const FakeTable number_keys = {{"scheme", "comm_rate"}, {{"2", "1"}}, {"LONG", "DOUBLE"}};
  const FakeTable defaults = {{"id", "scheme", "note", "rate"},
                              {{"7", "1", "'a'", "1"}},
                              {"COUNTER", "LONG", "TEXT(20) DEFAULT 'none'", "DOUBLE DEFAULT 0"}};
  const FakeTable no_rows = {defaults.columns, {}, defaults.types};
  const struct {
    const char* what;
    FakeTable table;
    const char* tail;  // after the connection string
    bool read_only_file;
    const char* statement;
    HRESULT result;
    const std::string& description;
    Rows rows;  // what the file holds afterwards
  } cases[] = {
      {"a number against a TEXT key", text_keys, "", false,
       "Update T Set comm_rate = 0.5 Where scheme in (2,4,5)", kMismatch, mismatch, text_keys.rows},
      {"text against a LONG key", number_keys, "", false,
       "Update T Set comm_rate = 0.5 Where scheme in ('2')", kMismatch, mismatch, number_keys.rows},
      {"text against a TEXT key",
       text_keys,
       "",
       false,
       "Update T Set comm_rate = 0.5 Where scheme in ('2')",
       S_OK,
       "",
       {{"'2'", "0.5"}}},
      {"unnamed columns",
       defaults,
       "",
       false,
       "Insert Into T(scheme) Values (2)",
       S_OK,
       "",
       {{"7", "1", "'a'", "1"}, {"8", "2", "'none'", "0"}}},
      {"the first AutoNumber",
       no_rows,
       "",
       false,
       "Insert Into T(scheme, rate) Values (2, 5)",
       S_OK,
       "",
       {{"1", "2", "'none'", "5"}}},
      {"Mode=Read", number_keys, ";Mode=Read", false, "Update T Set comm_rate = 0.5", kReadOnly,
       read_only, number_keys.rows},
      {"a read-only file", number_keys, "", true, "Delete From T", kReadOnly, read_only,
       number_keys.rows},
  };
  ComApartment com;
  ASSERT_TRUE(com.status().ok());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FixtureFolder folder;
    const std::string database = folder.File("CVL.MDB");
    JetFixture fixture;
    fixture.tables["T"] = c.table;
    ASSERT_TRUE(WriteJetFixtureFile(database, fixture).ok());
    if (c.read_only_file) SetFileAttributesA(database.c_str(), FILE_ATTRIBUTE_READONLY);
    ComPtr<_ADOConnection> connection;
    ASSERT_EQ(CoCreateInstance(kConnectionClsid, nullptr, CLSCTX_INPROC_SERVER, AdoGuid(0x550),
                               &connection),
              S_OK);
    BSTR open_string = Bstr("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + database + c.tail);
    BSTR statement = Bstr(c.statement);
    ASSERT_EQ(connection->Open(open_string, nullptr, nullptr, adOptionUnspecified), S_OK);
    EXPECT_EQ(connection->Execute(statement, nullptr, adExecuteNoRecords, nullptr), c.result);
    const std::vector<ErrorItem> items = ErrorItems(connection.Get());
    EXPECT_EQ(items.size(), c.description.empty() ? 0u : 1u);
    if (items.size() == 1) {
      EXPECT_EQ(items[0].number, c.result);
      EXPECT_EQ(items[0].description, c.description);
      EXPECT_EQ(items[0].source, "Microsoft JET Database Engine");
    }
    EXPECT_EQ(connection->Close(), S_OK);
    SysFreeString(statement);
    SysFreeString(open_string);
    JetFixture after;
    ASSERT_TRUE(ReadJetFixtureFile(database, &after).ok());
    EXPECT_EQ(after.tables["T"].rows, c.rows);
  }
}

}  // namespace
}  // namespace telo::ado_double

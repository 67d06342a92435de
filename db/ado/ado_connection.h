// NewAdoConnection: cnMain on Windows, an ADODB.Connection (type library 2.8)
// driven through its vtable interface _Connection. The COM object is created
// on the first call and kept until the connection is destroyed. Every call,
// and the destruction, must happen on one thread inside a ComApartment.
// A failure carries ADO's HRESULT as its number and ADO's description of it.
#pragma once

#include <memory>

#include "db/connection.h"

namespace telo {

std::unique_ptr<Connection> NewAdoConnection();

}  // namespace telo

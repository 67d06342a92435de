// The patch sequence: the twelve patch procedures in the order in which the
// update run calls them, and the statement data they carry. All objects here
// are compile-time constants.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/version.h"
#include "patch/procedure.h"

namespace telo {

extern const PatchProcedure UpdateSBRate;
extern const PatchProcedure UpdateRDConfiguration;
extern const PatchProcedure UpdateMISConfiguration;
extern const PatchProcedure UpdateNSCConfiguration;
extern const PatchProcedure UpdateKVPConfiguration;
extern const PatchProcedure UpdateNSC10Configuration;
extern const PatchProcedure UpdateTDConfiguration;
extern const PatchProcedure UpdateKVPPMCRates;
extern const PatchProcedure UpdatePPFConfiguration;
extern const PatchProcedure UpdateSCSSConfiguration;
extern const PatchProcedure UpdateCommRates;
extern const PatchProcedure UpdateRDExtensionRates;

// The twelve procedures, UpdateSBRate first and UpdateRDExtensionRates last.
std::span<const PatchProcedure* const> PatchSequence();

// Every statement of the sequence, in execution order.
std::vector<std::string_view> AllPatchStatements();

// A checksum of the statement texts (64-bit FNV-1a over every statement, each
// followed by a newline), as 16 lower-case hex digits. It identifies the patch
// data that a build carries.
std::string PatchChecksum();

// The programs' version ("1.00"), from the top CMakeLists.txt.
inline constexpr std::string_view kProgramVersion = TELO_VERSION;

}  // namespace telo

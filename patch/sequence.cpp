// The order of the patch sequence, and what can be derived from its data.
#include "patch/sequence.h"

#include <cstdio>

namespace telo {
namespace {

constexpr const PatchProcedure* kSequence[] = {
    &UpdateSBRate,           &UpdateRDConfiguration,
    &UpdateMISConfiguration, &UpdateNSCConfiguration,
    &UpdateKVPConfiguration, &UpdateNSC10Configuration,
    &UpdateTDConfiguration,  &UpdateKVPPMCRates,
    &UpdatePPFConfiguration, &UpdateSCSSConfiguration,
    &UpdateCommRates,        &UpdateRDExtensionRates,
};

}  // namespace

std::span<const PatchProcedure* const> PatchSequence() { return kSequence; }

std::vector<std::string_view> AllPatchStatements() {
  std::vector<std::string_view> statements;
  for (const PatchProcedure* procedure : kSequence) {
    for (const TableStatements& table : procedure->tables()) {
      statements.insert(statements.end(), table.statements.begin(), table.statements.end());
    }
  }
  return statements;
}

std::string PatchChecksum() {
  uint64_t hash = 14695981039346656037ull;
  auto mix = [&hash](char c) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  };
  for (std::string_view statement : AllPatchStatements()) {
    for (char c : statement) mix(c);
    mix('\n');
  }
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
  return hex;
}

}  // namespace telo

#pragma once
// Messages of the master-detail link.

namespace cibrano::mlmsg {

inline constexpr const char* CircularDataLink = "Circular data link";
inline constexpr const char* MasterNotTable =
    "Use only DOvuzaZerivir descendants for master-detail relationship";

} // namespace cibrano::mlmsg

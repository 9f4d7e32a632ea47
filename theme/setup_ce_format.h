#pragma once

// The layout facts of the CE setup file (".000") that its writer and its
// readers share.
namespace SetupCE {
// The fixed header: signature, length, versions, counts, offsets, names.
inline constexpr int TailleEntete = 100;
} // namespace SetupCE

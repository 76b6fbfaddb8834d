// The version of each command's JSON output, printed as its top-level "schema". Scripts and the
// Ansible modules rely on the shapes described in docs/schema/: a field that is added keeps the
// number, a field that is removed, renamed or changes its meaning or type takes the next one
// (and its schema file is updated in the same change).
#pragma once

inline constexpr int kReadJsonSchema = 1;
inline constexpr int kApplyJsonSchema = 1;
inline constexpr int kSetJsonSchema = 1;
inline constexpr int kDiffJsonSchema = 1;
inline constexpr int kShowJsonSchema = 1;

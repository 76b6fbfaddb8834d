// The device's parameter vocabulary as data: every row the catalogue inserts, in insertion order,
// and the two bindings of the DIO3 rows.
#pragma once

#include <cstdint>
#include <span>

// One insertion into the catalogue.
struct CatalogueRow {
  int32_t page;
  const char* name;
  const char* atCommand;
  const char* label;
  const char* controlKind;
};

// One DIO3 control with its binding on a five-DIO model and on the others.
struct Dio3Binding {
  const char* name;
  const char* controlKind;
  const char* fiveDioCommand;
  const char* fiveDioLabel;
  const char* threeDioCommand;
  const char* threeDioLabel;
};

// The page the DIO3 rows lie on.
inline constexpr int32_t kDio3Page = 3;

// The 215 insertions ("Mobus address" comes twice, identical), in catalogue order.
std::span<const CatalogueRow> CatalogueRows();

// The fifteen DIO3 controls, in the order they are rebound.
std::span<const Dio3Binding> Dio3Bindings();

// Drawing of a decoded record on the scope panel and the return to the full view; the cursor
// deltas (calcScopDeltaXY) are declared with the scope's operations in scope.h.
#pragma once

#include "scope/calc/scope_calc.h"

// Replaces the plots of both graphs: the analog trace on SCOPEP_GRAPH, the digital lines
// A, B, C, D on SCOPEP_GRAPH_DIG.
void PlotScopeTraces(const ScopeTraces &traces);

// Puts a record on the graphs: keeps its sample words (display order) and the settings it was
// recorded with in the application state, for the cursors and the export, plots it, moves
// the cursors onto it at their samples and shows the deltas measured on it.
void ShowScopeRecord(const std::uint16_t *samples, const std::int16_t settings[4]);

// The letters of the digital lines beside their bands, set once the panels are loaded.
void LabelDigitalLines();

// Moves both cursors of the analog graph onto the nearest point of the record on the graphs
// (see SnapCursorToTrace): whole samples, the signal's value, never outside the record.
void SnapScopeCursors();

// ZOOM 1:1: fixed axis ranges x 0..128 and y 0..4100 on the analog graph.
void ZoomScopeFull();

// Drawing of a decoded record on the scope panel and the return to the full view; the cursor
// deltas (calcScopDeltaXY) are declared with the scope's operations in scope.h.
#pragma once

#include "scope/scope_calc.h"

// Replaces the plots of both graphs: the analog trace on SCOPEP_GRAPH, the digital lines
// A, B, C, D on SCOPEP_GRAPH_DIG.
void PlotScopeTraces(const ScopeTraces &traces);

// ZOOM 1:1: fixed axis ranges x 0..128 and y 0..4100 on the analog graph.
void ZoomScopeFull();

// The live data cycle: GO polls the sensor back to back and shows every pass on the data panel.
#pragma once

// GO: sets Running and polls the sensor until Running is cleared (STOP, a page change, closing,
// or a link failure through SetTimeout), serving a pending SEND or GET before the next poll.
// Each good reply is decoded into LiveData and shown; a failed poll shows nothing.
void GetData();
// Shows LiveData on the data panel: the seven displays, the four LEDs and the graph.
void SetPanelData();
// The seven displays and four LEDs as no longer live (`live` 0: dimmed, the LEDs neither lit
// nor dark, "last values" and the time LiveShownAt beside them) or live again (1). Sets
// LiveStale.
void ShowValuesLive(int live);

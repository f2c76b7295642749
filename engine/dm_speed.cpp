#include "dm_speed.h"

void CollectDmSpeedRecord(const LinePiece& piece, LineState* state) {
    (void)piece;
    (void)state;
}

void ApplyDmSpeed(const char* timecodeField, char* remainderField, LineState* state) {
    (void)timecodeField;
    (void)remainderField;
    (void)state;
}

#include "dissolve.h"

bool InsertDissolveEffect(OutputText* text, const char* eventNumberField, size_t lineLength,
                          LineState* state) {
    (void)text;
    (void)eventNumberField;
    (void)lineLength;
    state->dissolvePending = false;
    return true;
}

#pragma once

// Character mode: typed keys are replaced by Latin-1 symbols.
namespace CharacterMode {

// The character to insert for a typed character code, or 0 when the
// character is discarded. Space and carriage return pass unchanged.
int map(int typed);

} // namespace CharacterMode

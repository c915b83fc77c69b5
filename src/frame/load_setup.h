#pragma once

namespace kx {
// Load-time set-up: makes sure the Btrieve engine's Intl settings exist
// (both builds). Never fails: a key that cannot be opened or written is left.
void SetBtrieveIntlOptions() noexcept;
}  // namespace kx

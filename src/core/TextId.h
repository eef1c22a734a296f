// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An interface text's identifier as the generated header TextIds.h declares it:
// only those constants exist, so a mistyped identifier does not compile.

namespace trenix {

struct TextId {
    const char *key;         // the identifier in the language store
    const char16_t *english; // shown when the store has no text in the language asked for
    int placeholders;        // the highest %N the text fills; a text without all of them is not used
};

} // namespace trenix

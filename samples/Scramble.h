// The reversible transform with which the list of sample files is kept in the settings store.
//
// Each byte is one character (its code 0 to 255). Scrambling adds the code of the key letter at
// the current key position and wraps above 255 back to 1; unscrambling subtracts it and wraps
// below 1 back up, so every code from 1 to 255 comes back as it went in. The key position moves
// on by one per character and starts again at the key's first letter after its last.
//
// There is no limit on the length of the text. Both directions let pending window events run
// once per character, so a long text never freezes the window.
#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace Samples {

// The key the sample list is stored with: eight lowercase letters.
inline constexpr char ScrambleKey[] = "plumbago";

// Fail with "Invalid procedure call or argument" when the key is empty.
QByteArray ScrambleText(QByteArrayView text, QByteArrayView key);
QByteArray UnscrambleText(QByteArrayView text, QByteArrayView key);

}  // namespace Samples

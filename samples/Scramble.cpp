#include "samples/Scramble.h"

#include "base/ErrorReport.h"
#include "base/EventPump.h"

namespace Samples {

namespace {

// Runs `shift` over every byte of the text with the key byte that belongs to it.
template <class Shift>
QByteArray transform(QByteArrayView text, QByteArrayView key, Shift shift) {
    if (key.isEmpty())
        throw AppError(ErrorText::InvalidArgument);
    QByteArray result(text.size(), Qt::Uninitialized);
    qsizetype keyPosition = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        EventPump::LetEventsRun();
        const int k = static_cast<uchar>(key[keyPosition]);
        if (++keyPosition == key.size())
            keyPosition = 0;
        result[i] = static_cast<char>(shift(static_cast<uchar>(text[i]), k));
    }
    return result;
}

}  // namespace

QByteArray ScrambleText(QByteArrayView text, QByteArrayView key) {
    return transform(text, key, [](int c, int k) {
        const int s = c + k;
        return s > 255 ? s - 255 : s;
    });
}

QByteArray UnscrambleText(QByteArrayView text, QByteArrayView key) {
    return transform(text, key, [](int d, int k) {
        const int t = d - k;
        return t < 1 ? t + 255 : t;
    });
}

}  // namespace Samples

#pragma once

#include <QByteArray>
#include <QString>

namespace tallyclock {

// A skin file's bytes as the style sheet the engine applies, or a failure ("The skin
// file is not a valid skin: ...") for a file that is not text or a sheet bounded out
// as below.
//
// Text: a byte-order mark decides (UTF-8, UTF-16 LE or BE); without one the bytes are
// UTF-8 when they are valid UTF-8, else text in the system's ANSI code page. A NUL or
// an unpaired UTF-16 surrogate is no text.
QString skinStyleSheet(const QByteArray &bytes, const QString &skinFolder);

// The style sheet as the engine applies it, cut into tokens by Qt's own reader (escapes
// replaced first, then comments, strings, functions), with "property: value"
// declarations judged. Refused:
// - a length that makes Qt lay out or paint a larger area (sizes, minimum sizes,
//   margins, paddings, border widths, font sizes, spacings, icon sizes) beyond 500 px,
//   375 pt or 30 em/ex; maximum sizes, radii, font weights and the numbers of other
//   properties cannot grow the work and pass;
// - a string that is never closed, and qproperty- declarations (their values may hold
//   a whole style sheet or rich text with images);
// - an image outside the skins folder (the folder that holds `skinFolder`) or not in
//   one of its folders, an absolute image name, or an image that is not a regular file
//   of at most 1 MiB and 4096 by 4096 pixels (16 MiB and 16 M pixels for all of
//   them). Qt's resources (":/") are allowed.
// Image names are made absolute: Qt would otherwise look in the working directory.
// Qt gets the sheet with its escapes replaced, which it reads as the same tokens. Qt
// reads nothing past a character it cannot read; neither does the engine.
QString boundedStyleSheet(const QString &styleSheet, const QString &skinFolder);

} // namespace tallyclock

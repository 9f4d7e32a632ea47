#pragma once

#include <QString>

#include <array>

class Prompts;
class ThemeDocument;

// What the options command does once the size options window has closed.
// `taillesAvant` are the Today and Start sizes (TailleImages[0..3]) from
// before the window was shown, `nouveauFormat` the window's saved index.
//
// Nothing happens when neither the sizes nor the format changed. Moving to
// format 4 or 5 from another format makes the plain working pictures
// "tdywater.gif" and "stwater.gif" in `dossierAppli` copies of the new
// format's portrait pair ("_240_320" or "_480_640"), or deletes them when that
// picture is missing; a plain picture that the portrait does not already hold
// is first kept as "tdywater_garde.gif" / "stwater_garde.gif" (an older kept
// copy moves to "_garde2", "_garde3"...). Moving back to a one-picture format
// brings the kept picture back, unless the plain name holds a picture the
// user made since (both then stay). No picture is lost on the way. Then
// FormatTheme takes the new format. A copy or delete that fails is reported
// through `prompts` (when given) and leaves that picture as it was.
//
// Returns true when the main window must redraw: the status bar's format
// texts, the thumbnails, the Today preview and the options page.
bool ChangementFormat(ThemeDocument &doc, const QString &dossierAppli, const std::array<int, 4> &taillesAvant,
                      int nouveauFormat, Prompts *prompts = nullptr);

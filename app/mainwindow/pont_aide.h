#pragma once

// What the main window asks of the help viewer. Without a viewer or a help
// file every request does nothing; the window holds one when the help
// bridge gives it.
class PontAide
{
public:
    virtual ~PontAide() = default;
    // The help topic of a control (a context help id).
    virtual void afficheRubrique(int id) = 0;
    // The help contents.
    virtual void afficheSommaire() = 0;
};

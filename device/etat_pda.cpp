#include "device/etat_pda.h"

EtatPDA::EtatPDA(const QString &cheminRapi, const QString &cheminCeUtil)
    : Rapi(cheminRapi, cheminCeUtil)
{
}

EtatPDA::~EtatPDA()
{
    arrete();
}

void EtatPDA::demarre()
{
    RapiPresent = Rapi.LoadRapi();
    if (RapiPresent && !DccMan)
        DccMan = std::make_unique<TDccMan>(Rapi);
}

void EtatPDA::arrete()
{
    if (!RapiPresent)
        return;
    DccMan.reset();
    if (PDAConnecte) {
        Rapi.DeconnecteCE();
        PDAConnecte = false;
    }
    Rapi.Libere();
    RapiPresent = false;
}

QString EtatPDA::texteEtat() const
{
    if (!RapiPresent || !DccMan || DccMan->Status() < 0)
        return QStringLiteral("Missing");
    return DccMan->StatusText();
}

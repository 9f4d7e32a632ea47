#pragma once

#include "tests/support/scripted_prompts.h"
#include "tests/support/test_env.h"
#include "theme/animation_pause.h"
#include "theme/package_writer.h"
#include "theme/theme_document.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QString>
#include <QStringList>

// Stands in for the cabinet: records the files it was given (name and bytes)
// and writes their names, or fails with a text.
class CabinetEnregistreur : public ConstructeurCabinet
{
public:
    bool construit(const QString &cheminCab, const QStringList &fichiers, QString *erreur) override
    {
        ++appels;
        membres.clear();
        for (const QString &f : fichiers) {
            membres << QFileInfo(f).fileName();
            contenus << testenv::readFile(f);
        }
        if (!echec.isEmpty()) {
            *erreur = echec;
            return false;
        }
        testenv::writeFile(cheminCab, membres.join(QLatin1Char('\n')).toUtf8());
        return true;
    }
    int appels = 0;
    QString echec;
    QStringList membres;
    QList<QByteArray> contenus;
};

// A package build with its program, work and save folders, scripted prompts
// and the recording cabinet.
struct BancPaquet
{
    ThemeDocument doc;
    ScriptedPrompts prompts;
    AnimationPause pause;
    CabinetEnregistreur cabinet;
    int sauvegardesCouleurs = 0;
    ContextePackage ctx;
    QString sauvegarde = testenv::rootDir() + "/saved";

    BancPaquet()
    {
        ctx.prompts = &prompts;
        ctx.pause = &pause;
        ctx.dossierAppli = testenv::programDir();
        ctx.dossierTravail = testenv::tempDir() + "/ThemeTmp";
        ctx.cabinet = &cabinet;
        ctx.sauveCouleurs = [this](QString *) {
            ++sauvegardesCouleurs;
            return true;
        };
        QDir().mkpath(sauvegarde);
    }
    void image(const QString &nom) { testenv::writeFile(ctx.dossierAppli + "/" + nom, "GIF89a " + nom.toUtf8()); }
    QStringList travail() const { return QDir(ctx.dossierTravail).entryList(QDir::Files, QDir::Name); }
};

// GLib's headers use the word "signals", which Qt defines as a macro: they
// come first.
#include <libgcab.h>

#include "theme/cab_gcab_writer.h"

#include <QFile>

#include <memory>

namespace cabgcab {
namespace {

struct UnrefObjet
{
    void operator()(gpointer p) const
    {
        if (p)
            g_object_unref(p);
    }
};
template<typename T>
using Objet = std::unique_ptr<T, UnrefObjet>;

struct LibereErreur
{
    void operator()(GError *e) const { g_error_free(e); }
};
using Erreur = std::unique_ptr<GError, LibereErreur>;

struct LibereDate
{
    void operator()(GDateTime *d) const { g_date_time_unref(d); }
};

struct LibereBytes
{
    void operator()(GBytes *b) const { g_bytes_unref(b); }
};

// Offset of the set id in the cabinet header (u16).
constexpr qint64 kOffsetIdEnsemble = 32;

struct Appel
{
    const std::vector<MembreAEcrire> *membres;
    const std::function<void(int)> *avantMembre;
    int suivant = 0;
};

gboolean rappelMembre(GCabFile *, gpointer donnees)
{
    auto *appel = static_cast<Appel *>(donnees);
    if (*appel->avantMembre)
        (*appel->avantMembre)(appel->suivant);
    ++appel->suivant;
    return TRUE;
}

QString texte(const GError *e)
{
    return e ? QString::fromUtf8(e->message) : QString();
}

} // namespace

Resultat ecritCabinet(const QString &chemin, int compression, const std::vector<MembreAEcrire> &membres,
                      quint16 idEnsemble, const std::function<void(int)> &avantMembre)
{
    if (compression != GCAB_COMPRESSION_NONE && compression != GCAB_COMPRESSION_MSZIP)
        return {ErrTypeCompression, {}};

    Objet<GCabCabinet> cabinet(gcab_cabinet_new());
    Objet<GCabFolder> dossier(gcab_folder_new(compression));
    GError *brute = nullptr;

    for (const MembreAEcrire &m : membres) {
        // The bytes stay owned by the caller's QByteArray for the whole write.
        std::unique_ptr<GBytes, LibereBytes> octets(
            g_bytes_new_static(m.donnees.constData(), gsize(m.donnees.size())));
        Objet<GCabFile> fichier(gcab_file_new_with_bytes(m.nom.constData(), octets.get()));
        if (!gcab_folder_add_file(dossier.get(), fichier.get(), FALSE, nullptr, &brute)) {
            Erreur e(brute);
            return {ErrInconnue, texte(e.get())};
        }
        // Set after adding: adding fills in defaults of its own.
        std::unique_ptr<GDateTime, LibereDate> date(g_date_time_new_utc(1980 + (m.dateDos >> 9), (m.dateDos >> 5) & 0x0F,
                                                  m.dateDos & 0x1F, m.heureDos >> 11, (m.heureDos >> 5) & 0x3F,
                                                  (m.heureDos & 0x1F) * 2));
        if (!date)
            return {ErrInconnue, QStringLiteral("invalid DOS date")};
        gcab_file_set_date_time(fichier.get(), date.get());
        gcab_file_set_attributes(fichier.get(), m.attributs);
    }
    if (!gcab_cabinet_add_folder(cabinet.get(), dossier.get(), &brute)) {
        Erreur e(brute);
        return {ErrInconnue, texte(e.get())};
    }

    const QByteArray cheminLocal = QFile::encodeName(chemin);
    Objet<GFile> sortie(g_file_new_for_path(cheminLocal.constData()));
    Objet<GFileOutputStream> flux(g_file_create(sortie.get(), G_FILE_CREATE_NONE, nullptr, &brute));
    if (!flux) {
        Erreur e(brute);
        return {ErrCreationCabinet, texte(e.get())};
    }

    auto echec = [&](int code, GError *err) {
        Erreur e(err);
        g_output_stream_close(G_OUTPUT_STREAM(flux.get()), nullptr, nullptr);
        QFile::remove(chemin);
        return Resultat{code, texte(e.get())};
    };

    Appel appel{&membres, &avantMembre};
    if (!gcab_cabinet_write_simple(cabinet.get(), G_OUTPUT_STREAM(flux.get()), rappelMembre, &appel, nullptr,
                                   &brute)) {
        // Every source is already in memory: a failure here is the output's
        // or the compressor's.
        const bool sortieEnCause = brute && brute->domain == G_IO_ERROR;
        return echec(sortieEnCause ? ErrCreationCabinet : ErrCompression, brute);
    }

    // The library closes the stream when it is done with it.
    if (!g_output_stream_is_closed(G_OUTPUT_STREAM(flux.get()))
        && !g_output_stream_close(G_OUTPUT_STREAM(flux.get()), nullptr, &brute))
        return echec(ErrCreationCabinet, brute);

    QFile fichier(chemin);
    const char id[2] = {char(idEnsemble & 0xFF), char(idEnsemble >> 8)};
    if (!fichier.open(QIODevice::ReadWrite) || !fichier.seek(kOffsetIdEnsemble) || fichier.write(id, 2) != 2
        || !fichier.flush()) {
        const QString detail = fichier.errorString();
        fichier.close();
        QFile::remove(chemin);
        return {ErrCreationCabinet, detail};
    }
    return {};
}

} // namespace cabgcab

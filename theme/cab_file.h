#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

class IndexSansCasse;
class Prompts;
class TCABFile;
namespace cabmspack {
class LecteurCab;
}

enum TCompressionType { typNone, typMSZIP, typLZX };
enum TLZXMemory { lzxLowest, lzxLower, lzxLow, lzxMedium, lzxHigh, lzxHigher, lzxHighest };

// One file to store (Name = source path, RelPath = folder prefix inside the
// cabinet) or one member found by a listing (Name = stored name).
struct TCABFileEntry
{
    QString Name;
    QString RelPath;
    qint64 Size = 0;
    QDateTime DateTime;  // stored DOS date and time, as local time; invalid when the stored fields are
    quint16 Attributes = 0; // stored attributes (listing only)
    bool Selected = false;
};

class TCABFileContents
{
public:
    explicit TCABFileContents(TCABFile *owner) : m_owner(owner) {}

    TCABFileEntry *Add();
    TCABFileEntry *GetItem(int index) const { return m_items.at(size_t(index)).get(); }
    int Count() const { return int(m_items.size()); }
    void Clear() { m_items.clear(); }
    TCABFile *GetOwner() const { return m_owner; }

private:
    TCABFile *m_owner;
    std::vector<std::unique_ptr<TCABFileEntry>> m_items;
};

// Raised when building a cabinet fails; carries the library's error code.
class ECABFileError : public std::runtime_error
{
public:
    explicit ECABFileError(int code);
    int code() const { return m_code; }
    QString message() const { return QString::fromUtf8(what()); }

    // The text of a cabinet-building error code ("Failure opening file to be
    // stored in cabinet", ...).
    static QString texte(int code);

private:
    int m_code;
};

// Builds a cabinet from a list of files, lists the members of a cabinet and
// extracts them. A cabinet read is untrusted: a member whose name would leave
// TargetPath, or larger than TailleMaxMembre, is never written and makes the
// operation report failure; each member is written to a temporary name in its
// folder and renamed into place only when complete.
class TCABFile : public QObject
{
    Q_OBJECT

public:
    // Sender, bytes so far, total bytes.
    using TCompressProgress = std::function<void(TCABFile *, qint64, qint64)>;
    // Sender, stored member name, bytes written so far, member size.
    using TDeCompressProgress = std::function<void(TCABFile *, const QString &, qint64, qint64)>;
    // Sender, target file, Allow (true on entry).
    using TOverWriteFile = std::function<void(TCABFile *, const QString &, bool &)>;

    // `prompts` shows the system error messages of an operation; may be null.
    explicit TCABFile(QObject *owner = nullptr, Prompts *prompts = nullptr);
    ~TCABFile() override;

    TCABFileContents &CABFileContents() { return m_contents; }
    const TCABFileContents &CABFileContents() const { return m_contents; }

    QString CABFile;
    TCompressionType CompressionType = typMSZIP;
    TLZXMemory LZXMemory = lzxLowest;
    QString TargetPath;
    // Members larger than this are not extracted (decompression bombs).
    qint64 TailleMaxMembre = qint64(512) * 1024 * 1024;

    TCompressProgress OnCompressProgress;
    TDeCompressProgress OnDecompressProgress;
    TOverWriteFile OnOverWriteFile;

    // Builds CABFile from the contents. True on success; a failure raises
    // ECABFileError and leaves no cabinet file behind (an existing CABFile is
    // replaced only on success).
    bool CreateCAB();
    // Lists the members of CABFile into the contents (cleared first). False
    // for a missing, unreadable or damaged cabinet.
    bool ReadContents();
    // Extracts the members stored under `name` (case ignored) under TargetPath.
    // A name that no member has extracts nothing and succeeds.
    bool ExtractFile(const QString &name);
    // Extracts the members that have an entry of the same name (case ignored)
    // whose Selected is true; the first entry of a name decides.
    bool ExtractSelected();

    // The compression code stored in a folder: 0 none, 1 MSZIP, 3 + 256 * window bits for LZX.
    static int CodeCompression(TCompressionType type, TLZXMemory memoire);
    // Whether a stored member name may be written under a target folder: a
    // relative path of "\"-separated plain names.
    static bool estCheminMembreSur(const QString &storedName);
    // The file a member was extracted to under `dossier`, found without regard
    // to case; empty when there is none.
    static QString CheminExtrait(const QString &dossier, const QString &storedName);

    // DOS date and time packing, clamped to the DOS range 1980-2107.
    static void versDos(const QDateTime &local, quint16 &date, quint16 &heure);
    static QDateTime depuisDos(int annee, int mois, int jour, int heure, int minute, int seconde);

private:
    enum class Mode { Liste, UnFichier, Selection };
    bool lit(Mode mode, const QString &nomDemande);
    bool extraitMembre(cabmspack::LecteurCab &lecteur, int index, const QString &racine, IndexSansCasse &noms);
    void signaleErreurSysteme(const QString &texte);

    TCABFileContents m_contents;
    Prompts *m_prompts;
};

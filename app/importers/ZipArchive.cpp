#include "ZipArchive.h"

#include "ImportLimits.h"
#include "ImportMessages.h"

#include <zip.h>

namespace {

// Names that would leave the folder an archive is unpacked into. Nothing is
// unpacked here, but such an archive is made to attack other programs and
// is not a document anyone wrote.
bool unsafeName(const QString &name)
{
    if (name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('\\')))
        return true;
    if (name.size() >= 2 && name.at(1) == QLatin1Char(':'))
        return true;
    const QStringList parts = QString(name).replace(QLatin1Char('\\'), QLatin1Char('/')).split(QLatin1Char('/'));
    return parts.contains(QStringLiteral(".."));
}

} // namespace

ZipArchive::ZipArchive() = default;

ZipArchive::~ZipArchive()
{
    if (m_zip)
        zip_discard(m_zip);
}

bool ZipArchive::fail(const QString &message)
{
    m_error = message;
    return false;
}

bool ZipArchive::open(const QByteArray &bytes)
{
    m_bytes = bytes;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(m_bytes.constData(), zip_uint64_t(m_bytes.size()), 0, &error);
    if (!source) {
        zip_error_fini(&error);
        return fail(ImportMessages::ArchiveDamaged);
    }
    m_zip = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    zip_error_fini(&error);
    if (!m_zip) {
        zip_source_free(source);
        return fail(ImportMessages::ArchiveDamaged);
    }
    const zip_int64_t count = zip_get_num_entries(m_zip, 0);
    if (count < 0)
        return fail(ImportMessages::ArchiveDamaged);
    if (count > ImportLimits::kMaxEntries)
        return fail(ImportMessages::ArchiveTooManyEntries(ImportLimits::kMaxEntries));
    m_names.reserve(count);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char *raw = zip_get_name(m_zip, zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        if (!raw)
            return fail(ImportMessages::ArchiveDamaged);
        const QString name = QString::fromUtf8(raw);
        if (unsafeName(name))
            return fail(ImportMessages::ArchiveUnsafePath(name));
        m_names.append(name);
    }
    return true;
}

bool ZipArchive::contains(const QString &name) const
{
    return m_names.contains(name);
}

bool ZipArchive::read(const QString &name, QByteArray *out)
{
    out->clear();
    if (!m_zip)
        return fail(ImportMessages::ArchiveDamaged);
    const qsizetype index = m_names.indexOf(name);
    if (index < 0)
        return fail(ImportMessages::ArchiveMissingPart(name));
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(m_zip, zip_uint64_t(index), 0, &st) != 0)
        return fail(ImportMessages::ArchiveDamaged);
    if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
        return fail(ImportMessages::ArchiveEncrypted);
    const qint64 packed = (st.valid & ZIP_STAT_COMP_SIZE) ? qint64(st.comp_size) : 0;

    zip_file_t *file = zip_fopen_index(m_zip, zip_uint64_t(index), 0);
    if (!file) {
        const int code = zip_error_code_zip(zip_get_error(m_zip));
        return fail(code == ZIP_ER_NOPASSWD || code == ZIP_ER_WRONGPASSWD || code == ZIP_ER_ENCRNOTSUPP
                        ? ImportMessages::ArchiveEncrypted
                        : ImportMessages::ArchiveDamaged);
    }
    const qint64 declared = (st.valid & ZIP_STAT_SIZE) ? qint64(st.size) : 0;
    if (declared > 0 && declared <= ImportLimits::kMaxEntrySize)
        out->reserve(qsizetype(declared));
    char buffer[64 * 1024];
    bool ok = true;
    QString message;
    for (;;) {
        const zip_int64_t n = zip_fread(file, buffer, sizeof buffer);
        if (n < 0) {
            ok = false;
            message = ImportMessages::ArchiveDamaged;
            break;
        }
        if (n == 0)
            break;
        m_totalRead += n;
        if (out->size() + n > ImportLimits::kMaxEntrySize) {
            ok = false;
            message = ImportMessages::ArchiveTooLarge(ImportLimits::kMaxEntrySize / (1024 * 1024));
            break;
        }
        if (m_totalRead > ImportLimits::kMaxTotalSize) {
            ok = false;
            message = ImportMessages::ArchiveTooLarge(ImportLimits::kMaxTotalSize / (1024 * 1024));
            break;
        }
        out->append(buffer, qsizetype(n));
        if (out->size() > ImportLimits::kRatioCheckFrom
            && out->size() > qMax<qint64>(packed, 1) * ImportLimits::kMaxCompressionRatio) {
            ok = false;
            message = ImportMessages::ArchiveRatio;
            break;
        }
    }
    zip_fclose(file);
    if (!ok) {
        out->clear();
        return fail(message);
    }
    return true;
}

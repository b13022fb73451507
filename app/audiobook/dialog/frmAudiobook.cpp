#include "frmAudiobook.h"

#include "AudiobookTexts.h"
#include "Dialogs.h"
#include "EspeakEngine.h"
#include "SafeFileName.h"
#include "SettingsStore.h"
#include "SpeechNumbers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

enum Column { Title, Words, Duration, ColumnCount };

// The files a message lists by name before it only counts the rest.
constexpr int kListedFiles = 12;

constexpr AudiobookFormat kFormats[] = {AudiobookFormat::Mp3, AudiobookFormat::M4b, AudiobookFormat::Opus};
constexpr SubtitleFormat kSubtitles[] = {SubtitleFormat::None, SubtitleFormat::Srt, SubtitleFormat::WebVtt,
                                         SubtitleFormat::Lrc};

QString subtitleName(SubtitleFormat format)
{
    switch (format) {
    case SubtitleFormat::None: return AudiobookTexts::SubtitlesNone;
    case SubtitleFormat::Srt: return QStringLiteral("SRT");
    case SubtitleFormat::WebVtt: return QStringLiteral("WebVTT");
    case SubtitleFormat::Lrc: return QStringLiteral("LRC");
    }
    return {};
}

int storedPercent(const SettingsStore &settings, const SettingKeys::Key &key)
{
    // A stored value that is no number speaks as nothing stored would.
    const auto value = SpeechNumbers::wholeNumber(settings.read(key));
    return value ? *value : *SpeechNumbers::wholeNumber(QString::fromLatin1(key.defaultValue));
}

QDoubleSpinBox *pauseBox(QWidget *parent, const char *name, int ms)
{
    auto *box = new QDoubleSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setLocale(QLocale(QLocale::German, QLocale::Germany));
    box->setDecimals(1);
    box->setSingleStep(0.1);
    box->setRange(0.0, AudiobookChoices::kMaxPauseMs / 1000.0);
    box->setSuffix(AudiobookTexts::Seconds);
    box->setValue(ms / 1000.0);
    return box;
}

int milliseconds(const QDoubleSpinBox *box)
{
    return int(std::lround(box->value() * 1000.0));
}

} // namespace

frmAudiobook::frmAudiobook(const QTextDocument &document, const QString &documentPath, SettingsStore &settings,
                           Dialogs &dialogs, Export exportBook, QWidget *parent)
    : QDialog(parent), m_document(document), m_settings(settings), m_dialogs(dialogs),
      m_export(std::move(exportBook)), m_runner(dialogs), m_choices(AudiobookChoices::load(settings))
{
    setObjectName(QStringLiteral("frmAudiobook"));
    setWindowTitle(AudiobookTexts::DialogTitle);
    const BookVoice voice = storedVoice(settings);
    m_wordsPerMinute = SpeechNumbers::percentToEngineValue(EspeakEngine::MinSpeed, EspeakEngine::MaxSpeed,
                                                           voice.percentages.speed)
                           .value_or(EspeakEngine::DefaultSpeed);
    m_book = Book::fromDocument(document);
    m_headings = !m_book.levels.empty();
    m_book.name = QFileInfo(documentPath).fileName();
    if (m_book.info.title.trimmed().isEmpty())
        m_book.info.title = QFileInfo(documentPath).completeBaseName();
    buildControls();
    if (!m_headings && !m_choices.rule.isEmpty())
        rebuild();
    else
        fillTable();
    resize(780, 640);
}

frmAudiobook::~frmAudiobook() = default;

void frmAudiobook::showModal(const QTextDocument &document, const QString &documentPath, SettingsStore &settings,
                             Dialogs &dialogs, Export exportBook, QWidget *parent)
{
    frmAudiobook dialog(document, documentPath, settings, dialogs, std::move(exportBook), parent);
    dialog.exec();
}

BookVoice frmAudiobook::storedVoice(const SettingsStore &settings)
{
    BookVoice voice;
    voice.percentages.voicePosition = storedPercent(settings, SettingKeys::Voice);
    voice.percentages.pitch = storedPercent(settings, SettingKeys::PitchWhenSpeaking);
    voice.percentages.speed = storedPercent(settings, SettingKeys::SpeedWhenSpeaking);
    voice.percentages.volume = storedPercent(settings, SettingKeys::Volume);
    voice.dictionaries = BookVoice::Dictionaries::Active;
    return voice;
}

void frmAudiobook::buildControls()
{
    auto *layout = new QVBoxLayout(this);

    // Where chapters start.
    m_structure = new QFormLayout;
    m_level = new QComboBox(this);
    m_level->setObjectName(QStringLiteral("cboLevel"));
    m_structure->addRow(AudiobookTexts::LevelLabel, m_level);
    m_rule = new QLineEdit(m_choices.rule, this);
    m_rule->setObjectName(QStringLiteral("txtRule"));
    m_rule->setAccessibleName(AudiobookTexts::RuleName);
    m_structure->addRow(AudiobookTexts::RuleLabel, m_rule);
    layout->addLayout(m_structure);
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("lblNote"));
    m_note->setWordWrap(true);
    m_note->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    layout->addWidget(m_note);

    auto *chaptersLabel = new QLabel(AudiobookTexts::ChaptersLabel, this);
    layout->addWidget(chaptersLabel);
    m_table = new QTableWidget(0, ColumnCount, this);
    m_table->setObjectName(QStringLiteral("tblChapters"));
    m_table->setAccessibleName(AudiobookTexts::ChaptersName);
    chaptersLabel->setBuddy(m_table);
    m_table->setHorizontalHeaderLabels(
        {AudiobookTexts::ColumnTitle, AudiobookTexts::ColumnWords, AudiobookTexts::ColumnDuration});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setTabKeyNavigation(false);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(Title, QHeaderView::Stretch);
    m_table->horizontalHeader()->setSectionResizeMode(Words, QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setSectionResizeMode(Duration, QHeaderView::ResizeToContents);
    layout->addWidget(m_table, 1);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("lblSummary"));
    layout->addWidget(m_summary);

    auto *form = new QFormLayout;
    m_title = new QLineEdit(m_book.info.title, this);
    m_title->setObjectName(QStringLiteral("txtTitle"));
    form->addRow(AudiobookTexts::BookTitleLabel, m_title);
    m_author = new QLineEdit(m_book.info.author, this);
    m_author->setObjectName(QStringLiteral("txtAuthor"));
    form->addRow(AudiobookTexts::AuthorLabel, m_author);

    m_layout = new QComboBox(this);
    m_layout->setObjectName(QStringLiteral("cboLayout"));
    m_layout->addItem(AudiobookTexts::LayoutFiles, int(AudiobookLayout::FilePerChapter));
    m_layout->addItem(AudiobookTexts::LayoutOne, int(AudiobookLayout::OneFileWithChapters));
    m_layout->setCurrentIndex(m_layout->findData(int(m_choices.layout)));
    form->addRow(AudiobookTexts::LayoutLabel, m_layout);
    m_format = new QComboBox(this);
    m_format->setObjectName(QStringLiteral("cboFormat"));
    for (const AudiobookFormat f : kFormats)
        m_format->addItem(AudiobookFormats::displayName(f), int(f));
    m_format->setCurrentIndex(m_format->findData(int(m_choices.format)));
    form->addRow(AudiobookTexts::FormatLabel, m_format);
    m_subtitles = new QComboBox(this);
    m_subtitles->setObjectName(QStringLiteral("cboSubtitles"));
    for (const SubtitleFormat s : kSubtitles)
        m_subtitles->addItem(subtitleName(s), int(s));
    m_subtitles->setCurrentIndex(m_subtitles->findData(int(m_choices.subtitles)));
    form->addRow(AudiobookTexts::SubtitlesLabel, m_subtitles);
    m_normalize = new QCheckBox(AudiobookTexts::Normalize, this);
    m_normalize->setObjectName(QStringLiteral("chkNormalize"));
    m_normalize->setChecked(m_choices.normalize);
    form->addRow(QString(), m_normalize);
    m_before = pauseBox(this, "spnSilenceBefore", m_choices.silenceBeforeMs);
    form->addRow(AudiobookTexts::SilenceBeforeLabel, m_before);
    m_after = pauseBox(this, "spnSilenceAfter", m_choices.silenceAfterMs);
    form->addRow(AudiobookTexts::SilenceAfterLabel, m_after);
    m_paragraph = pauseBox(this, "spnParagraphPause", m_choices.paragraphPauseMs);
    form->addRow(AudiobookTexts::ParagraphPauseLabel, m_paragraph);

    m_folderTarget = m_choices.folder;
    auto *targetRow = new QHBoxLayout;
    m_target = new QLineEdit(this);
    m_target->setObjectName(QStringLiteral("txtTarget"));
    targetRow->addWidget(m_target, 1);
    m_browse = new QPushButton(AudiobookTexts::Browse, this);
    m_browse->setObjectName(QStringLiteral("cmdBrowse"));
    m_browse->setAutoDefault(false);
    targetRow->addWidget(m_browse);
    m_targetLabel = new QLabel(this);
    m_targetLabel->setBuddy(m_target);
    form->addRow(m_targetLabel, targetRow);
    layout->addLayout(form);

    auto *buttons = new QDialogButtonBox(this);
    m_exportButton = buttons->addButton(AudiobookTexts::Export, QDialogButtonBox::AcceptRole);
    m_exportButton->setObjectName(QStringLiteral("cmdExport"));
    m_exportButton->setDefault(true);
    QPushButton *cancel = buttons->addButton(AudiobookTexts::Cancel, QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    cancel->setAutoDefault(false);
    layout->addWidget(buttons);

    fillLevels();
    layoutChanged();

    connect(m_level, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_filling)
            rebuild();
    });
    connect(m_rule, &QLineEdit::textChanged, this, [this] { rebuild(); });
    connect(m_table, &QTableWidget::cellChanged, this, &frmAudiobook::chapterEdited);
    connect(m_layout, &QComboBox::currentIndexChanged, this, &frmAudiobook::layoutChanged);
    connect(m_format, &QComboBox::currentIndexChanged, this, &frmAudiobook::formatChanged);
    connect(m_target, &QLineEdit::textEdited, this, [this](const QString &text) {
        (options().layout == AudiobookLayout::FilePerChapter ? m_folderTarget : m_fileTarget) = text;
    });
    connect(m_browse, &QPushButton::clicked, this, &frmAudiobook::chooseTarget);
    connect(m_exportButton, &QPushButton::clicked, this, [this] {
        if (exportBook())
            accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmAudiobook::fillLevels()
{
    m_filling = true;
    m_level->clear();
    for (const int level : m_book.levels)
        m_level->addItem(AudiobookTexts::headingLevel(level), level);
    m_level->setCurrentIndex(m_level->findData(m_book.level));
    m_filling = false;
    m_structure->setRowVisible(m_level, m_headings);
    m_structure->setRowVisible(m_rule, !m_headings);
}

void frmAudiobook::rebuild()
{
    ChapterFinder::Options finder;
    if (m_headings) {
        finder.level = m_level->currentData().toInt();
    } else if (!m_rule->text().isEmpty()) {
        finder.rule.setPattern(m_rule->text());
    }
    const BookInfo info = m_book.info;
    const QString name = m_book.name;
    m_book = Book::fromDocument(m_document, finder);
    m_book.info = info;
    m_book.name = name;
    fillTable();
}

void frmAudiobook::fillTable()
{
    if (!m_book.error.isEmpty())
        m_note->setText(m_book.error);
    else if (!m_book.structured)
        m_note->setText(m_headings ? AudiobookTexts::NoStructure : AudiobookTexts::NoStructureRule);
    else
        m_note->clear();
    m_note->setVisible(!m_note->text().isEmpty());

    m_filling = true;
    m_table->setRowCount(0);
    m_table->setRowCount(int(m_book.chapters.size()));
    for (int row = 0; row < m_book.chapters.size(); ++row) {
        const BookChapter &chapter = m_book.chapters.at(row);
        auto *title = new QTableWidgetItem(chapter.title);
        title->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable | Qt::ItemIsUserCheckable);
        title->setCheckState(chapter.selected ? Qt::Checked : Qt::Unchecked);
        if (chapter.title.isEmpty())
            title->setToolTip(AudiobookTexts::Untitled);
        m_table->setItem(row, Title, title);
        const auto number = [](const QString &text) {
            auto *item = new QTableWidgetItem(text);
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            return item;
        };
        m_table->setItem(row, Words, number(QString::number(chapter.words)));
        m_table->setItem(row, Duration,
                         number(AudiobookTexts::duration(
                             qint64(Book::estimatedSeconds(chapter.words, m_wordsPerMinute)))));
    }
    m_filling = false;
    if (m_table->rowCount() > 0)
        m_table->setCurrentCell(0, Title);
    showSummary();
}

void frmAudiobook::showSummary()
{
    const Book chosen = m_book.selected();
    m_summary->setText(AudiobookTexts::chaptersSummary(
        int(chosen.chapters.size()), int(m_book.chapters.size()), chosen.words(),
        qint64(Book::estimatedSeconds(chosen.words(), m_wordsPerMinute))));
}

void frmAudiobook::chapterEdited(int row, int column)
{
    if (m_filling || column != Title || row < 0 || row >= m_book.chapters.size())
        return;
    const QTableWidgetItem *item = m_table->item(row, Title);
    BookChapter &chapter = m_book.chapters[row];
    // A title is one line, as the document's own titles are.
    chapter.title = ChapterFinder::title(item->text());
    chapter.selected = item->checkState() == Qt::Checked;
    showSummary();
}

void frmAudiobook::layoutChanged()
{
    const bool files = options().layout == AudiobookLayout::FilePerChapter;
    // A place chosen for one layout is where the other starts.
    if (files && m_folderTarget.isEmpty() && !m_fileTarget.isEmpty())
        m_folderTarget = QFileInfo(m_fileTarget).path();
    if (!files && m_fileTarget.isEmpty() && !m_folderTarget.isEmpty())
        m_fileTarget = QDir(m_folderTarget).filePath(defaultFileName());
    m_targetLabel->setText(files ? AudiobookTexts::TargetFolderLabel : AudiobookTexts::TargetFileLabel);
    m_target->setText(files ? m_folderTarget : m_fileTarget);
    m_target->setAccessibleName(QString(m_targetLabel->text()).remove(QLatin1Char('&')).chopped(1));
}

void frmAudiobook::formatChanged()
{
    // The one file follows the format's suffix.
    if (m_fileTarget.isEmpty())
        return;
    const QFileInfo file(m_fileTarget);
    const QString suffix = AudiobookFormats::suffix(options().format);
    m_fileTarget = QDir(file.path()).filePath(file.completeBaseName() + QLatin1Char('.') + suffix);
    layoutChanged();
}

QString frmAudiobook::defaultFileName() const
{
    const QString title = m_title ? m_title->text() : m_book.info.title;
    return SafeFileName::fromTitle(title, AudiobookTexts::bookFallback()) + QLatin1Char('.')
        + AudiobookFormats::suffix(AudiobookFormat(m_format->currentData().toInt()));
}

void frmAudiobook::chooseTarget()
{
    const AudiobookOptions now = options();
    Dialogs::FileRequest request;
    std::optional<QString> chosen;
    if (now.layout == AudiobookLayout::FilePerChapter) {
        request.title = AudiobookTexts::ChooseFolder;
        request.initialPath = m_folderTarget.isEmpty() ? QDir::homePath() : m_folderTarget;
        chosen = m_dialogs.chooseFolder(request);
        if (chosen)
            m_folderTarget = QDir::toNativeSeparators(*chosen);
    } else {
        const QString suffix = AudiobookFormats::suffix(now.format);
        request.title = AudiobookTexts::ChooseFile;
        request.filter = AudiobookTexts::fileFilter(AudiobookFormats::displayName(now.format), suffix);
        request.defaultSuffix = suffix;
        request.confirmOverwrite = true;
        request.initialPath = m_fileTarget.isEmpty() ? QDir::home().filePath(defaultFileName()) : m_fileTarget;
        chosen = m_dialogs.saveFile(request);
        if (chosen)
            m_fileTarget = QDir::toNativeSeparators(*chosen);
    }
    if (chosen)
        layoutChanged();
}

Book frmAudiobook::book() const
{
    Book book = m_book;
    book.info.title = m_title->text().trimmed();
    book.info.author = m_author->text().trimmed();
    return book;
}

AudiobookOptions frmAudiobook::options() const
{
    AudiobookOptions o;
    o.layout = AudiobookLayout(m_layout->currentData().toInt());
    o.format = AudiobookFormat(m_format->currentData().toInt());
    o.subtitles = SubtitleFormat(m_subtitles->currentData().toInt());
    o.normalize = m_normalize->isChecked();
    o.silenceBeforeMs = milliseconds(m_before);
    o.silenceAfterMs = milliseconds(m_after);
    o.paragraphPauseMs = milliseconds(m_paragraph);
    o.book = book().info;
    const QString target = m_target->text().trimmed();
    if (o.layout == AudiobookLayout::FilePerChapter) {
        o.folder = target;
    } else if (!target.isEmpty()) {
        const QFileInfo file(target);
        o.folder = file.path();
        o.file = file.fileName();
        const QString suffix = AudiobookFormats::suffix(o.format);
        if (file.suffix().compare(suffix, Qt::CaseInsensitive) != 0)
            o.file += QLatin1Char('.') + suffix;
    }
    return o;
}

AudiobookChoices frmAudiobook::choices() const
{
    const AudiobookOptions o = options();
    AudiobookChoices c;
    c.layout = o.layout;
    c.format = o.format;
    c.subtitles = o.subtitles;
    c.normalize = o.normalize;
    c.silenceBeforeMs = o.silenceBeforeMs;
    c.silenceAfterMs = o.silenceAfterMs;
    c.paragraphPauseMs = o.paragraphPauseMs;
    c.folder = o.folder.isEmpty() ? m_choices.folder : o.folder;
    c.rule = m_rule->text();
    return c;
}

void frmAudiobook::tell(const QString &text, bool problem)
{
    m_dialogs.message(text, AudiobookTexts::MessageTitle,
                      problem ? Dialogs::Icon::Warning : Dialogs::Icon::Information, Dialogs::Buttons::Ok);
}

bool frmAudiobook::exportBook()
{
    const Book chosen = book().selected();
    if (chosen.chapters.isEmpty()) {
        tell(AudiobookTexts::NoChapterSelected, true);
        return false;
    }
    const AudiobookOptions o = options();
    if (o.folder.isEmpty()) {
        tell(AudiobookTexts::NoTarget, true);
        return false;
    }
    m_choices = choices();
    m_choices.save(m_settings);
    if (const QString refusal = AudiobookWriter::refusal(o); !refusal.isEmpty()) {
        tell(refusal, true);
        return false;
    }
    const AudiobookWriter::Result result = run(chosen, o);
    tellResult(result, o);
    return result.ok();
}

AudiobookWriter::Result frmAudiobook::run(const Book &book, const AudiobookOptions &options)
{
    const BookVoice voice = storedVoice(m_settings);
    AudiobookWriter::Result result;
    result.status = AudiobookWriter::Result::Status::Cancelled;
    result.message = AudiobookTexts::cancelled();
    const Dialogs::ProgressRequest request{AudiobookTexts::ProgressTitle, AudiobookTexts::ProgressStart,
                                           AudiobookTexts::Cancel};
    m_runner.run(request, [&](ProgressRunner::Job &job) {
        QString shown;
        const BookExport::Progress progress = [&job, &shown](const BookProgress &p) {
            job.report(int(std::lround(std::clamp(p.share, 0.0, 1.0) * 1000.0)));
            const QString label =
                p.encoding ? AudiobookTexts::progressEncoding(p.msLeft)
                           : AudiobookTexts::progressChapter(p.chapter + 1, p.chapters, p.title, p.msLeft);
            if (label != shown) {
                shown = label;
                job.describe(label);
            }
            return !job.cancelled();
        };
        result = m_export(book, options, voice, progress);
    });
    return result;
}

void frmAudiobook::tellResult(const AudiobookWriter::Result &result, const AudiobookOptions &options)
{
    QStringList names;
    for (const QString &file : result.files)
        names << QFileInfo(file).fileName();
    if (!result.playlist.isEmpty())
        names << QFileInfo(result.playlist).fileName();
    for (const QString &file : result.subtitles)
        names << QFileInfo(file).fileName();
    if (names.size() > kListedFiles) {
        const int more = int(names.size()) - kListedFiles;
        names = names.mid(0, kListedFiles);
        names << AudiobookTexts::moreFiles(more);
    }
    const QString list = names.join(QLatin1Char('\n'));
    if (result.ok()) {
        tell(AudiobookTexts::written(QDir::toNativeSeparators(options.folder)) + QStringLiteral("\n\n") + list,
             false);
        return;
    }
    QString text = result.status == AudiobookWriter::Result::Status::Cancelled
        ? result.message
        : AudiobookTexts::notWritten(result.message);
    text += QStringLiteral("\n\n");
    text += names.isEmpty() ? AudiobookTexts::NothingKept
                            : AudiobookTexts::KeptFiles + QStringLiteral(" „")
                                  + QDir::toNativeSeparators(options.folder) + QStringLiteral("“\n") + list;
    tell(text, result.status == AudiobookWriter::Result::Status::Failed);
}

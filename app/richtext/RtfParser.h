#pragma once
// The RTF reader's parser: RTF bytes into a QTextDocument, through the
// tokenizer, the keyword table, the text decoder, the document tables and
// the document builder (RtfReader is its entry point).

#include "RtfDocumentBuilder.h"
#include "RtfDocumentTables.h"
#include "RtfKeywords.h"
#include "RtfReader.h"
#include "RtfState.h"
#include "RtfTextDecoder.h"
#include "RtfTokenizer.h"

#include <vector>

class QTextDocument;

namespace rtf {

// Reads the tokens of a file: keeps the state of every open group, decides
// where a group's text goes (its destination) and hands each control word
// to what handles its group: the group's state, the document tables, the
// text decoder or the document builder.
class Parser
{
public:
    Parser(QByteArrayView bytes, QTextDocument *doc)
        : m_tokens(bytes)
        , m_builder(doc, m_tables)
        , m_size(bytes.size())
    {
    }

    RtfReader::Result run();

private:
    using Token = Tokenizer::Token;

    void openGroup();
    void closeGroup();
    void controlWord(const Token &t);
    void controlSymbol(unsigned char c);
    void keyword(const Keyword &k, const Token &t);
    void startDestination(Kw kw);
    void documentWord(const Keyword &k, const Token &t);
    void flowWord(const Keyword &k);
    void updateCodePage();

    void text(std::string_view bytes);
    void rawByte(unsigned char b);
    void hexByte(unsigned char b);
    void appendChar(char16_t c);

    Tokenizer m_tokens;
    const KeywordTable &m_keywords = KeywordTable::instance();
    DocumentTables m_tables;
    TextDecoder m_decoder;
    DocumentBuilder m_builder;

    std::vector<State> m_stack;
    State m_cur;
    int m_overflow = 0;        // groups opened beyond kMaxDepth
    bool m_started = false;    // the outermost group has been opened
    bool m_finished = false;   // ... and closed again
    bool m_damaged = false;
    bool m_ignorable = false;  // the last token was \*
    int m_ansiCodePage = 1252;
    RtfReader::Result m_result; // the document information found
    qsizetype m_size;
};

} // namespace rtf

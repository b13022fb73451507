#include "RtfReader.h"

#include "RtfParser.h"

#include <QTextDocument>

RtfReader::Result RtfReader::read(QByteArrayView rtf, QTextDocument *doc)
{
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    doc->clear();
    Result result;
    {
        rtf::Parser parser(rtf, doc);
        result = parser.run();
    }
    doc->setUndoRedoEnabled(undo);
    doc->setModified(false);
    return result;
}

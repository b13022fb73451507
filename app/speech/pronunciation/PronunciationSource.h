#pragma once
// PronunciationSource: what the speech engine asks, at every text it is
// given, for the dictionaries to speak it with. A change of the active set
// or of a file is seen at the next text.

#include "Pronouncer.h"

#include <QStringList>

#include <memory>

class PronunciationSource
{
public:
    virtual ~PronunciationSource() = default;
    // Null or empty: the text is spoken as written.
    virtual std::shared_ptr<const Pronouncer> current() = 0;
    // Files and lines the last current() left out, as German sentences.
    virtual QStringList fileProblems() const = 0;
};

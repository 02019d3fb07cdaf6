#include "flashcardcommand.h"

#include "consoletext.h"

namespace montera::sets {

int importFlashcards(const QStringList&)
{
    writeConsoleText(ConsoleStream::Error, "montera-sets: error: the import of flashcards (Anki packages and "
                                           "--pairs lists) is not in this build\n");
    return 1;
}

} // namespace montera::sets

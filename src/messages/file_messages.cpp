#include "messages/file_messages.h"

#include "messages/system_errors.h"

namespace keldar::messages {

std::string FileErrorText(const FileError& error) {
  switch (error.problem) {
    case FileProblem::Missing:
      return "fichier ou dossier introuvable";
    case FileProblem::Permission:
      return "accès refusé : vos droits ne permettent pas de lire ce fichier ou d'écrire dans ce "
             "dossier";
    case FileProblem::ReadOnly:
      return "fichier ou support en lecture seule";
    case FileProblem::Folder:
      return "c'est un dossier, pas un fichier";
    case FileProblem::DiskFull:
      return "disque plein : libérez de la place ou choisissez un autre disque";
    case FileProblem::None:
    case FileProblem::Other:
      break;
  }
  return ErrnoText(error.error);
}

}  // namespace keldar::messages

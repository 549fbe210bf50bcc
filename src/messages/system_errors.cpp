#include "messages/system_errors.h"

#include <cerrno>

namespace keldar::messages {

std::string ErrnoText(int error) {
  switch (error) {
    case 0:
      return "erreur inconnue";
    case ENOENT:
      return "introuvable";
    case ENOTDIR:
      return "un élément du chemin n'est pas un dossier";
    case ENODEV:
    case ENXIO:
      return "périphérique absent";
    case EACCES:
    case EPERM:
      return "accès refusé";
    case EROFS:
      return "support en lecture seule";
    case EISDIR:
      return "c'est un dossier";
    case ENOSPC:
      return "disque plein";
#ifdef EDQUOT
    case EDQUOT:
      return "quota de disque atteint";
#endif
    case EFBIG:
      return "fichier trop grand pour ce système de fichiers";
    case EEXIST:
      return "existe déjà";
    case ENAMETOOLONG:
      return "nom trop long";
    case ELOOP:
      return "trop de liens symboliques (une boucle ?)";
    case EINVAL:
      return "nom ou paramètre refusé";
    case EIO:
      return "erreur d'entrée-sortie";
    case EBUSY:
      return "occupé par un autre programme";
    case EAGAIN:
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
      return "ressource momentanément indisponible";
    case EINTR:
      return "interrompu";
    case ENOMEM:
      return "mémoire insuffisante";
    case EMFILE:
    case ENFILE:
      return "trop de fichiers ouverts";
    case ENOTTY:
      return "ce n'est pas un port série";
    case ETIMEDOUT:
      return "délai dépassé";
    case EPROTO:
      return "erreur de protocole";
    default:
      return "erreur système n° " + std::to_string(error);
  }
}

std::string Sentence(std::string_view reason) {
  std::string text(reason);
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 32);
  if (!text.empty() && !text.ends_with('.') && !text.ends_with('?') && !text.ends_with('!')) {
    text += '.';
  }
  return text;
}

}  // namespace keldar::messages

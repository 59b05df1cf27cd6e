#include "drawing/PageLanguage.h"

#include <array>

namespace funzioni {

namespace {

// page.html, page.js, study.js and export.js (a text box's editing menu) write these; the page
// looks each up by its Italian text.
constexpr std::array<std::string_view, 18> kPageTexts{
    "Il programma è terminato.",
    "Ricomincia",
    "Il programma si è interrotto per un errore.",
    "Modifica dell'elenco delle funzioni",
    "Testo del file",
    "Scarica {0}",
    "Sostituisci con un file...",
    "Salva",
    "Annulla",
    "Impossibile salvare il file: lo spazio del browser per questa pagina è pieno o non "
    "disponibile. Il file è rimasto com'era.",
    "Chiudi (Esc)",
    "Chiudi",
    "Taglia",
    "Copia",
    "Incolla",
    "Elimina",
    "Seleziona tutto",
    "({0} caratteri)",
};

}  // namespace

std::span<const std::string_view> PageTexts() {
  return kPageTexts;
}

}  // namespace funzioni

// The two compiled catalogues against the table of translated texts: every key
// gives its Italian or English text, and neither catalogue holds a key beyond
// the table.

#include <QFile>
#include <QSet>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

struct Entry
{
    const char *context;
    const char *source;   // the catalogue key, exactly as the code or form passes it
    const char *italian;
    const char *english;
};

// Form texts carry their literal tr("...") wrapper as typed into the forms.
const Entry kTexts[] = {
    { "CMsg", "Link ON",
      "Monitor n.ro giri", "RPM Monitor" },
    { "CMsg", "Link OFF",
      "Monitor n.ro giri", "RPM Monitor" },
    { "CMsg", "Banco ON",
      "Banco ON", "Test Mode ON" },
    { "CMsg", "Banco OFF",
      "Banco OFF", "Test Mode OFF" },
    { "CMsg", "<Nessun profilo>",
      "<Nessuna mappa caricata>", "<No profile loaded>" },
    { "CMsg", "<Nessuna>",
      "<Nessuna>", "<None>" },
    { "CMsg", "<Selezionare una porta>",
      "<Selezionare una porta>", "<Choose a port>" },
    { "CMsg", "Scheda trovata",
      "ECU Vantor trovato", "ECU Vantor found" },
    { "CMsg", "Scheda non trovata",
      "ECU Vantor non trovato", "ECU Vantor not found" },
    { "CMsg", "Curva iniezione",
      "Mappa Iniezione", "Injection Plot" },
    { "CMsg", "Giri al Minuto",
      "Giri al minuto", "RPM" },
    { "CMsg", "Punti",
      "Punti", "Points" },
    { "CMsg", "Lettura FLASH",
      "Lettura mappa da ECU Vantor", "Reading profile from ECU Vantor" },
    { "CMsg", "Aggiornamento FLASH",
      "Aggiornamento mappa su ECU Vantor", " Updating profile on ECU Vantor" },
    { "CMsg", "Errore di comunicazione con la scheda",
      "Errore di comunicazione con ECU Vantor", "Failure to communicate with ECU Vantor" },
    { "frmProgPannel", "MainWindow",
      "MainWindow", "MainWindow" },
    { "frmProgPannel", "tr(\"Carica Profilo\")",
      "Carica Mappa", "Load Profile" },
    { "frmProgPannel", "tr(\"Salva Profilo\")",
      "Salva Mappa", "Save Profile" },
    { "frmProgPannel", "tr(\"Exit program Alt+F4\")",
      "Termina programma", "Exit program" },
    { "frmProgPannel", "tr(\"Cerca Centralina: Ctrl+P\")",
      "Cerca ECU Vantor", "Search for ECU Vantor" },
    { "frmProgPannel", "tr(\"Muovi Sù: Ctrl+Up\")",
      "Muovi Sù", "Move Up" },
    { "frmProgPannel", "tr(\"Muovi Giù: Ctrl+Dn\")",
      "Muovi Giù", "Move Down" },
    { "frmProgPannel", "tr(\"Muovi Sinistra: Ctrl+Left\")",
      "Muovi Sinistra", "Move Left" },
    { "frmProgPannel", "tr(\"Muovi Destra: Ctrl+Right\")",
      "Muovi Destra", "Move Right" },
    { "frmProgPannel", "tr(\"About\")",
      "Informazioni", "About" },
    { "frmProgPannel", "tr(\"Centralina 2 cilindri\")",
      "ECU Vantor per moto a 2 cilindri", "ECU Vantor for 2 cylinder bikes" },
    { "frmProgPannel", "tr(\"Centralina 4 cilindri\")",
      "ECU Vantor per moto a 4 cilindri", "ECU Vantor for 4 cylinder bikes" },
    { "frmProgPannel", "tr(\"Inglese\")",
      "Inglese", "English" },
    { "frmProgPannel", "tr(\"Italiano\")",
      "Italiano", "Italian" },
    { "frmProgPannel", "tr(\"Modo Esperto\")",
      "Modo Esperto", "Expert Mode" },
    { "frmProgPannel", "tr(\"File\")",
      "File", "File" },
    { "frmProgPannel", "tr(\"Configurazione\")",
      "Configurazione", "Configuration" },
    { "frmProgPannel", "tr(\"Seleziona Centralina\")",
      "Seleziona versione ECU Vantor", "Select version of ECU Vantor" },
    { "frmProgPannel", "tr(\"Seleziona Lingua\")",
      "Seleziona Lingua", "Choose your language" },
    { "frmProgPannel", "tr(\"Muovi Cursore\")",
      "Muovi Cursore", "Move Cursor" },
    { "frmProgPannel", "tr(\"Giri/min\")",
      "Giri/min", "RPM" },
    { "frmProgPannel", "tr(\"Virtual Port\")",
      "Porta Virtuale", "Virtual Comm" },
    { "frmProgPannel", "tr(\"Cerca la porta seriale ove e' collegata la centralina e ne attiva/disattiva la connessione\")",
      "Cerca la connessione con ECU Vantor e ne attiva/disattiva il link", "Look for ECU Vantor connection and enable/disable a link" },
    { "frmProgPannel", "tr(\"     Ricerca Porta\")",
      "     Cerca ECU Vantor", "     Search for ECU Vantor" },
    { "frmProgPannel", "tr(\"Attiva/Blocca l'aggiornamento della velocita' e dell'analogica sonda temperatura\")",
      "Attiva/Blocca l'aggiornamento dei giri", "Start/Stop the update of RPM" },
    { "frmProgPannel", "tr(\"Link OFF\")",
      "Monitor n.ro giri", "RPM Monitor" },
    { "frmProgPannel", "tr(\"Invia la curva profilo alla centralina\")",
      "Invia la mappa a ECU Vantor", "Send the profile plot to ECU Vantor" },
    { "frmProgPannel", "tr(\"Aggiorna ROM Centralina\")",
      "Invia Mappa a ECU Vantor", "Update Profile on ECU Vantor" },
    { "frmProgPannel", "tr(\"Legge la curva profilo dalla centralina\")",
      "Legge la mappa iniezione da ECU Vantor", "Read the profile plot from ECU Vantor" },
    { "frmProgPannel", "tr(\"Leggi ROM Centralina\")",
      "Leggi Mappa da ECU Vantor", "Read Profile from ECU Vantor" },
    { "frmProgPannel", "tr(\"Livello Sensore\")",
      "Analog. Sonda", "TEMP Sensor" },
    { "frmProgPannel", "tr(\"Valore analogico sonda temperatura\")",
      "Valore analogico della sonda temperatura", "Analogic value of temperature probe" },
    { "frmProgPannel", "tr(\"Imposta/Rimuove Modalita' Banco di Prova\")",
      "Imposta/Rimuove la Modalità Banco Prova", "Set/Reset Test Mode" },
    { "frmProgPannel", "tr(\"Banco OFF\")",
      "Banco OFF", "Test Mode OFF" },
    { "frmProgPannel", "tr(\"K Iniezione\")",
      "Divisore n.Giri", "RPM Divider" },
    { "frmProgPannel", "tr(\"Divisore numero di giri\")",
      "Fattore di divisione del numero di giri", "RPM factor divider" },
    { "frmProgPannel", "tr(\"Profilo Piatto\")",
      "Val. Mappa Piatta", "Flat Profile Value" },
    { "frmProgPannel", "tr(\"Valore del profilo piatto\")",
      "Valore per la Mappa Piatta", "Value for Flat Profile" },
    { "frmProgPannel", "tr(\"Genera un Profilo Piatto\")",
      "Genera una Mappa Piatta", "Generate a Flat Plot" },
    { "frmProgPannel", "tr(\"Genera Profilo Piatto\")",
      "Genera Mappa Piatta", "Generate Flat Profile" },
    { "frmProgPannel", "tr(\"Profilo utilizzato\")",
      "Mappa utilizzata", "Profile in use" },
    { "frmProgPannel", "tr(\"Carica la curva profilo da file\") ",
      "Carica Mappa da file", "Load from file a profile plot" },
    { "frmProgPannel", "tr(\"Carica File di Profilo\")",
      "Carica Mappa", "Load Profile" },
    { "frmProgPannel", "tr(\"Salva la curva profilo su file\")",
      "Salva Mappa in uso su file", "Save on file the current profile plot" },
    { "frmProgPannel", "tr(\"Salva File di Profilo\")",
      "Salva Mappa", "Save Profile" },
    { "frmProgPannel", "tr(\"Chiude l'applicazione\")",
      "Chiude l'applicazione", "Close application" },
    { "frmProgPannel", "tr(\"Close\")",
      "Chiudi", "Close" },
    { "frmProgPannel", "Profili (*.prf)",
      "Mappe (*.prf)", "Profiles (*.prf)" },
    { "frmProgPannel", "Apre File di Profilo",
      "Apre file di Mappa", "Load Profile" },
    { "frmProgPannel", "Salva File di Profilo",
      "Salva file di Mappa", "Save profile" },
    { "frmProgPannel", "Mappa letta dalla centralina",
      "Mappa letta dalla centralina", "Profile read from the ECU" },
    { "frmProgPannel", "Mappa scritta nella centralina e verificata",
      "Mappa scritta nella centralina e verificata", "Profile written to the ECU and verified" },
    { "frmProgPannel", "Mappa scritta nella centralina",
      "Mappa scritta nella centralina", "Profile written to the ECU" },
    { "frmProgPannel", "Comando non inviato alla centralina: la linea non lo ha trasmesso",
      "Comando non inviato alla centralina: la linea non lo ha trasmesso", "Command not sent to the ECU: the line did not carry it" },
    { "frmProgPannel", "Scrittura non riuscita: la verifica ha trovato differenze",
      "Scrittura non riuscita: la verifica ha trovato differenze", "Write failed: the check found differences" },
    { "frmProgPannel", "Lettura non riuscita",
      "Lettura non riuscita", "Read failed" },
    { "frmProgPannel", "Scrittura non riuscita",
      "Scrittura non riuscita", "Write failed" },
    { "frmProgPannel", "Mappa caricata da %1",
      "Mappa caricata da %1", "Profile loaded from %1" },
    { "frmProgPannel", "Mappa salvata in %1",
      "Mappa salvata in %1", "Profile saved to %1" },
    { "frmProgPannel", "Mappa letta da %1 alle %2",
      "Mappa letta da %1 alle %2", "Profile read from %1 at %2" },
    { "frmProgPannel", "Modo banco attivo",
      "Modo banco attivo", "Test mode on" },
    { "frmProgPannel", "La centralina è in modo banco. Spegnere il modo banco prima di chiudere?",
      "La centralina è in modo banco. Spegnere il modo banco prima di chiudere?", "The ECU is in test mode. Switch test mode off before closing?" },
    { "frmProgPannel", "Spegni e chiudi",
      "Spegni e chiudi", "Switch off and close" },
    { "frmProgPannel", "Chiudi senza spegnere",
      "Chiudi senza spegnere", "Close without switching off" },
    { "frmProgPannel", "La centralina non ha confermato lo spegnimento del modo banco: potrebbe essere ancora in modo banco.",
      "La centralina non ha confermato lo spegnimento del modo banco: potrebbe essere ancora in modo banco.", "The ECU did not confirm that test mode was switched off: it may still be in test mode." },
    { "frmProgPannel", "tr(\"Modifica\")",
      "Modifica", "Edit" },
    { "frmProgPannel", "tr(\"Annulla\")",
      "Annulla", "Undo" },
    { "frmProgPannel", "tr(\"Ripeti\")",
      "Ripeti", "Redo" },
    { "frmProgPannel", "tr(\"Estendi selezione a sinistra\")",
      "Estendi selezione a sinistra", "Extend selection left" },
    { "frmProgPannel", "tr(\"Estendi selezione a destra\")",
      "Estendi selezione a destra", "Extend selection right" },
    { "frmProgPannel", "tr(\"Aumenta di 1\")",
      "Aumenta di 1", "Increase by 1" },
    { "frmProgPannel", "tr(\"Diminuisci di 1\")",
      "Diminuisci di 1", "Decrease by 1" },
    { "frmProgPannel", "tr(\"Imposta valore...\")",
      "Imposta valore...", "Set value..." },
    { "frmProgPannel", "tr(\"Scala in percentuale...\")",
      "Scala in percentuale...", "Scale by percentage..." },
    { "frmProgPannel", "tr(\"Interpola\")",
      "Interpola", "Interpolate" },
    { "frmProgPannel", "tr(\"Leviga\")",
      "Leviga", "Smooth" },
    { "frmProgPannel", "tr(\"Confronta con file...\")",
      "Confronta con file...", "Compare with file..." },
    { "frmProgPannel", "tr(\"Ripristina dal riferimento\")",
      "Ripristina dal riferimento", "Restore from reference" },
    { "frmProgPannel", "Impossibile aprire il file %1",
      "Impossibile aprire il file %1", "Cannot open the file %1" },
    { "frmLogin", "tr(\"Accesso modo esperto\")",
      "Modalità esperto", "Expert Mode" },
    { "frmLogin", "tr(\"Digitare la password\")",
      "Digitare la password", "Enter the  password" },
    { "frmLogin", "tr(\"Conferma\")",
      "Conferma", "Confirm" },
    { "frmAbout", "tr(\"Informazioni\")",
      "Informazioni", "Info" },
    { "frmAbout", "tr(\"Chiudi\")",
      "Chiudi", "Close" },
    { "frmRicercaPorta", "tr(\"Ricerca porta di collegamento con la centralina\")",
      "Cerca ECU Vantor", "Search for ECU Vantor" },
    { "frmRicercaPorta", "tr(\"Porte rilevate nel sistema\")",
      "Porte seriali rilevate nel sistema", "Communication Ports Found on your System" },
    { "frmRicercaPorta", "tr(\"Chiudi\")",
      "Chiudi", "Close" },
    { "CCommandLine", "Mostra questo aiuto ed esce.",
      "Mostra questo aiuto ed esce.", "Shows this help and exits." },
    { "CCommandLine", "Mostra la versione del programma ed esce.",
      "Mostra la versione del programma ed esce.", "Shows the program's version and exits." },
    { "CCommandLine", "Lingua dell'interfaccia per questa esecuzione soltanto; l'impostazione salvata resta com'era.",
      "Lingua dell'interfaccia per questa esecuzione soltanto; l'impostazione salvata resta com'era.", "Interface language for this run only; the saved setting stays as it was." },
    { "CCommandLine", "NOME",
      "NOME", "NAME" },
    { "CCommandLine", "All'avvio prova la porta NOME; se vi risponde la centralina, si collega e ne legge la mappa.",
      "All'avvio prova la porta NOME; se vi risponde la centralina, si collega e ne legge la mappa.", "At start-up, probes the port NAME; when the ECU answers there, connects and reads its profile." },
    { "CCommandLine", "CARTELLA",
      "CARTELLA", "FOLDER" },
    { "CCommandLine", "Cartella in cui si aprono le finestre di caricamento e salvataggio delle mappe.",
      "Cartella in cui si aprono le finestre di caricamento e salvataggio delle mappe.", "Folder in which the dialogs that load and save profiles open." },
    { "CCommandLine", "Uso: %1 [opzioni]",
      "Uso: %1 [opzioni]", "Usage: %1 [options]" },
    { "CCommandLine", "Strumento di taratura per la centralina d'iniezione ECU Vantor.",
      "Strumento di taratura per la centralina d'iniezione ECU Vantor.", "Tuning tool for the ECU Vantor injection unit." },
    { "CCommandLine", "Opzioni:",
      "Opzioni:", "Options:" },
    { "CCommandLine", "opzione sconosciuta: %1",
      "opzione sconosciuta: %1", "unknown option: %1" },
    { "CCommandLine", "manca il valore dell'opzione %1",
      "manca il valore dell'opzione %1", "missing value for option %1" },
    { "CCommandLine", "lingua non valida: \"%1\" (ammesse: it, en)",
      "lingua non valida: \"%1\" (ammesse: it, en)", "invalid language: \"%1\" (allowed: it, en)" },
    { "CCommandLine", "porta non valida: \"%1\" (un nome come ttyUSB0 o COM3, o il percorso del dispositivo)",
      "porta non valida: \"%1\" (un nome come ttyUSB0 o COM3, o il percorso del dispositivo)", "invalid port: \"%1\" (a name such as ttyUSB0 or COM3, or the device's path)" },
    { "CCommandLine", "cartella dei profili non utilizzabile: \"%1\"",
      "cartella dei profili non utilizzabile: \"%1\"", "cannot use the profile folder: \"%1\"" },
    { "CCommandLine", "argomento inatteso: %1",
      "argomento inatteso: %1", "unexpected argument: %1" },
    { "CCommandLine", "riga di comando non valida: %1",
      "riga di comando non valida: %1", "invalid command line: %1" },
    { "CCommandLine", "Usare \"%1 --help\" per l'elenco delle opzioni.",
      "Usare \"%1 --help\" per l'elenco delle opzioni.", "Use \"%1 --help\" for the list of options." },
    { "frmProgPannel", "File di profilo",
      "File di profilo", "Profile file" },
    { "frmProgPannel", "Mappa modificata",
      "Mappa modificata", "Profile modified" },
    { "frmProgPannel", "La mappa mostrata è stata modificata e non è stata salvata. Salvarla prima di continuare?",
      "La mappa mostrata è stata modificata e non è stata salvata. Salvarla prima di continuare?", "The profile shown has been modified and not saved. Save it before going on?" },
    { "frmProgPannel", "%1 giri/min",
      "%1 giri/min", "%1 rpm" },
    { "frmProgPannel", "nome del profilo",
      "nome del profilo", "profile name" },
    { "frmProgPannel", "La verifica della scrittura ha trovato valori diversi da quelli inviati (%1). La mappa su ECU Vantor non è quella mostrata.",
      "La verifica della scrittura ha trovato valori diversi da quelli inviati (%1). La mappa su ECU Vantor non è quella mostrata.", "Checking the write found values other than those sent (%1). The profile on ECU Vantor is not the one shown." },
    { "frmProgPannel", "tr(\"Apri cartella backup\")",
      "Apri cartella backup", "Open backup folder" },
    { "frmProgPannel", "Impossibile salvare la copia di sicurezza della mappa letta in %1: %2",
      "Impossibile salvare la copia di sicurezza della mappa letta in %1: %2", "Cannot save the backup of the profile read to %1: %2" },
    { "frmProgPannel", "La mappa è in scrittura su ECU Vantor: chiudendo ora la ECU resterebbe scritta a metà. Chiudere comunque?",
      "La mappa è in scrittura su ECU Vantor: chiudendo ora la ECU resterebbe scritta a metà. Chiudere comunque?",
      "The profile is being written to ECU Vantor: closing now would leave the ECU half written. Close anyway?" },
    { "CProfileDocument", "Impossibile aprire il file %1: %2",
      "Impossibile aprire il file %1: %2", "Cannot open the file %1: %2" },
    { "CProfileDocument", "Il file %1 è lungo %2 byte, un profilo ne ha %3: il file non è stato caricato.",
      "Il file %1 è lungo %2 byte, un profilo ne ha %3: il file non è stato caricato.", "The file %1 is %2 bytes long, a profile has %3: the file was not loaded." },
    { "CProfileDocument", "Impossibile leggere il file %1: %2",
      "Impossibile leggere il file %1: %2", "Cannot read the file %1: %2" },
    { "CProfileDocument", "Impossibile scrivere il file %1: %2",
      "Impossibile scrivere il file %1: %2", "Cannot write the file %1: %2" },
    { "CProfileDocument", "La mappa non si può cambiare mentre ECU Vantor è in lettura o scrittura.",
      "La mappa non si può cambiare mentre ECU Vantor è in lettura o scrittura.", "The profile cannot be changed while ECU Vantor is being read or written." },
    { "CProfileEditor", "%1 giri/min: valore %2",
      "%1 giri/min: valore %2", "%1 rpm: value %2" },
    { "CProfileEditor", "riferimento %1, differenza %2",
      "riferimento %1, differenza %2", "reference %1, difference %2" },
    { "CProfileEditor", "selezione da %1 a %2 giri/min",
      "selezione da %1 a %2 giri/min", "selection from %1 to %2 rpm" },
    { "CProfileEditor", "Nessun punto selezionato",
      "Nessun punto selezionato", "No point selected" },
    { "CProfileEditor", "Imposta valore",
      "Imposta valore", "Set value" },
    { "CProfileEditor", "Valore da %1 a %2:",
      "Valore da %1 a %2:", "Value from %1 to %2:" },
    { "CProfileEditor", "Scala in percentuale",
      "Scala in percentuale", "Scale by percentage" },
    { "CProfileEditor", "Profili (*.prf)",
      "Mappe (*.prf)", "Profiles (*.prf)" },
    { "CProfileEditor", "Confronta con file",
      "Confronta con file", "Compare with file" },
    { "CProfilePlot", "Riferimento",
      "Riferimento", "Reference" },
    { "CProfilePlot", "Riferimento: %1",
      "Riferimento: %1", "Reference: %1" },
    { "CProfileDocument", "ECU, letta alle %1",
      "ECU, letta alle %1", "ECU, read at %1" },
    { "CProfileTableModel", "Giri/min",
      "Giri/min", "RPM" },
    { "CProfileTableModel", "Valore",
      "Valore", "Value" },
    { "CProfileTableModel", "Riferimento",
      "Riferimento", "Reference" },
    { "CProfileTableModel", "Differenza",
      "Differenza", "Difference" },
    { "CProfileTableModel", "riga %1, colonna %2: %3",
      "riga %1, colonna %2: %3", "row %1, column %2: %3" },
    { "CProfileTableModel", "cella vuota",
      "cella vuota", "empty cell" },
    { "CProfileTableModel", "\"%1\" non è un numero intero",
      "\"%1\" non è un numero intero", "\"%1\" is not a whole number" },
    { "CProfileTableModel", "%1 è fuori dall'intervallo da %2 a %3",
      "%1 è fuori dall'intervallo da %2 a %3", "%1 is outside the range %2 to %3" },
    { "CProfileTableModel", "incollare una sola colonna o una sola riga",
      "incollare una sola colonna o una sola riga", "paste a single column or a single row" },
    { "CProfileTableModel", "oltre l'ultimo punto: si possono incollare al massimo %1 valori",
      "oltre l'ultimo punto: si possono incollare al massimo %1 valori", "past the last point: at most %1 values can be pasted" },
    { "CProfileTableModel", "Niente da incollare",
      "Niente da incollare", "Nothing to paste" },
    { "CProfileTableModel", "Valore rifiutato: %1",
      "Valore rifiutato: %1", "Value refused: %1" },
    { "CProfileTableModel", "Selezionare il punto da cui incollare",
      "Selezionare il punto da cui incollare", "Select the point to paste from" },
    { "CProfileTableDock", "Tabella mappa",
      "Tabella mappa", "Profile table" },
    { "CCellTimeView", "Tempo nelle celle",
      "Tempo nelle celle", "Time in each cell" },
    { "CCellTimeView", "Mostra sotto la curva quanto tempo il motore è rimasto in ogni cella",
      "Mostra sotto la curva quanto tempo il motore è rimasto in ogni cella", "Shows under the curve how long the engine ran in each cell" },
    { "CCellTimeView", "Azzera tempo nelle celle",
      "Azzera tempo nelle celle", "Reset time in each cell" },
    { "CProfileExporter", "Impossibile scrivere il file %1: %2",
      "Impossibile scrivere il file %1: %2", "Cannot write the file %1: %2" },
    { "CProfileExporter", "Il formato di %1 non è riconosciuto: il nome deve finire con .png o .pdf.",
      "Il formato di %1 non è riconosciuto: il nome deve finire con .png o .pdf.", "The format of %1 is not recognised: the name must end with .png or .pdf." },
    { "CProfileExporter", "Esporta grafico...",
      "Esporta grafico...", "Export plot..." },
    { "CProfileExporter", "Esporta mappa CSV...",
      "Esporta mappa CSV...", "Export profile as CSV..." },
    { "CProfileExporter", "mappa",
      "mappa", "profile" },
    { "CProfileExporter", "Esporta grafico",
      "Esporta grafico", "Export plot" },
    { "CProfileExporter", "Immagine PNG (*.png)",
      "Immagine PNG (*.png)", "PNG image (*.png)" },
    { "CProfileExporter", "Documento PDF (*.pdf)",
      "Documento PDF (*.pdf)", "PDF document (*.pdf)" },
    { "CProfileExporter", "Grafico esportato in %1",
      "Grafico esportato in %1", "Plot exported to %1" },
    { "CProfileExporter", "Esporta mappa CSV",
      "Esporta mappa CSV", "Export profile as CSV" },
    { "CProfileExporter", "File CSV (*.csv)",
      "File CSV (*.csv)", "CSV file (*.csv)" },
    { "CProfileExporter", "Mappa esportata in %1",
      "Mappa esportata in %1", "Profile exported to %1" },
    { "CRecentFiles", "Il file %1 non esiste più ed è stato tolto dai file recenti.",
      "Il file %1 non esiste più ed è stato tolto dai file recenti.", "The file %1 no longer exists and has been removed from the recent files." },
    { "CRecentFiles", "File recenti",
      "File recenti", "Recent files" },
    { "CRecentFiles", "Nessun file recente",
      "Nessun file recente", "No recent files" },
    { "CDataLog", "Riga %1: %2 campi invece di %3.",
      "Riga %1: %2 campi invece di %3.", "Line %1: %2 fields instead of %3." },
    { "CDataLog", "Riga %1: il campo %2 (\"%3\") non è un numero intero.",
      "Riga %1: il campo %2 (\"%3\") non è un numero intero.", "Line %1: the field %2 (\"%3\") is not a whole number." },
    { "CDataLog", "Riga %1: il campo %2 vale %3, fuori dall'intervallo da %4 a %5.",
      "Riga %1: il campo %2 vale %3, fuori dall'intervallo da %4 a %5.", "Line %1: the field %2 is %3, outside the range %4 to %5." },
    { "CDataLog", "Riga %1: il tempo torna indietro (%2 ms dopo %3 ms).",
      "Riga %1: il tempo torna indietro (%2 ms dopo %3 ms).", "Line %1: the time goes backwards (%2 ms after %3 ms)." },
    { "CDataLog", "Riga %1: l'intestazione deve essere \"%2\".",
      "Riga %1: l'intestazione deve essere \"%2\".", "Line %1: the header must be \"%2\"." },
    { "CDataLog", "Impossibile leggere il file %1: %2",
      "Impossibile leggere il file %1: %2", "Cannot read the file %1: %2" },
    { "CDataLog", "Il file %1 è troppo grande per essere un log.",
      "Il file %1 è troppo grande per essere un log.", "The file %1 is too large to be a log." },
    { "CDataLogRecorder", "Impossibile scrivere il file %1: %2. La registrazione è stata interrotta.",
      "Impossibile scrivere il file %1: %2. La registrazione è stata interrotta.", "Cannot write the file %1: %2. The recording has stopped." },
    { "CDataLogRecorder", "Impossibile creare la cartella %1.",
      "Impossibile creare la cartella %1.", "Cannot create the folder %1." },
    { "CDataLogRecorder", "Impossibile creare il file %1: %2",
      "Impossibile creare il file %1: %2", "Cannot create the file %1: %2" },
    { "CStripChart", "Giri/min",
      "Giri/min", "RPM" },
    { "CStripChart", "Sonda (ADC)",
      "Sonda (ADC)", "Probe (ADC)" },
    { "CStripChart", "Tempo (s)",
      "Tempo (s)", "Time (s)" },
    { "CDataLogDock", "Registrazione dati",
      "Registrazione dati", "Data logging" },
    { "CDataLogDock", "Registra log",
      "Registra log", "Record log" },
    { "CDataLogDock", "Apri log...",
      "Apri log...", "Open log..." },
    { "CDataLogDock", "Registrazione in corso",
      "Registrazione in corso", "Recording" },
    { "CDataLogDock", "Apri log",
      "Apri log", "Open log" },
    { "CDataLogDock", "Impossibile aprire il log %1. %2",
      "Impossibile aprire il log %1. %2", "Cannot open the log %1. %2" },
    { "CDataLogDock", "Log (*.csv)",
      "Log (*.csv)", "Log (*.csv)" },
    { "CDataLogDock", "Pausa",
      "Pausa", "Pause" },
    { "CDataLogDock", "Riproduci",
      "Riproduci", "Play" },
    { "CButtonActions", "Centralina",
      "Centralina", "ECU" },
    { "frmProgPannel", "Strumenti",
      "Strumenti", "Tools" },
    { "CProfileEditor", "Variazione in percento (da %1 a +%2):",
      "Variazione in percento (da %1 a +%2):", "Change in percent (%1 to +%2):" },
    { "CProfileEditor", "Punti limitati all'intervallo da %1 a %2: %3",
      "Punti limitati all'intervallo da %1 a %2: %3", "Points limited to the range %1 to %2: %3" },
    { "CWholeNumberDialog", "Scrivere un numero intero da %1 a %2",
      "Scrivere un numero intero da %1 a %2", "Type a whole number from %1 to %2" },
    { "CCli", "la porta: HID (la centralina su USB), un nome come ttyUSB0 o COM3, il percorso del dispositivo, o il nome di una porta virtuale come ecu-sim. Senza --port: la centralina su USB se è collegata, altrimenti l'unica porta candidata (vedere ports).",
      "la porta: HID (la centralina su USB), un nome come ttyUSB0 o COM3, il percorso del dispositivo, o il nome di una porta virtuale come ecu-sim. Senza --port: la centralina su USB se è collegata, altrimenti l'unica porta candidata (vedere ports).", "the port: HID (the ECU on USB), a name such as ttyUSB0 or COM3, the device's path, or the name of a virtual port such as ecu-sim. Without --port: the ECU on USB when it is attached, else the only candidate port (see ports)." },
    { "CCli", "la variante della centralina, che dà la scala dei giri: 2 cilindri (fino a 12000 giri/min, il predefinito) o 4 (fino a 17000 giri/min).",
      "la variante della centralina, che dà la scala dei giri: 2 cilindri (fino a 12000 giri/min, il predefinito) o 4 (fino a 17000 giri/min).", "the ECU variant, which sets the engine-speed scale: 2 cylinders (up to 12000 RPM, the default) or 4 (up to 17000 RPM)." },
    { "CCli", "Codici di uscita:",
      "Codici di uscita:", "Exit codes:" },
    { "CCli", "fatto",
      "fatto", "done" },
    { "CCli", "errore di comunicazione con la centralina",
      "errore di comunicazione con la centralina", "communication failure with the ECU" },
    { "CCli", "uso errato: opzioni o argomenti sbagliati, più porte candidate senza --port",
      "uso errato: opzioni o argomenti sbagliati, più porte candidate senza --port", "usage error: wrong options or arguments, several candidate ports without --port" },
    { "CCli", "centralina non trovata",
      "centralina non trovata", "ECU not found" },
    { "CCli", "valori diversi: la verifica dopo la scrittura, o diff di due mappe diverse",
      "valori diversi: la verifica dopo la scrittura, o diff di due mappe diverse", "different values: the check after a write, or diff of two different profiles" },
    { "CCli", "un file che non si può leggere o scrivere (con il motivo)",
      "un file che non si può leggere o scrivere (con il motivo)", "a file that cannot be read or written (with its reason)" },
    { "CCli", "interrotto con Ctrl+C",
      "interrotto con Ctrl+C", "interrupted with Ctrl+C" },
    { "CCli", "Opzioni globali (anche dopo il sottocomando):",
      "Opzioni globali (anche dopo il sottocomando):", "Global options (also after the subcommand):" },
    { "CCli", "risultato leggibile da un programma: un documento JSON su standard output, anche per gli errori (con il codice di uscita e il messaggio)",
      "risultato leggibile da un programma: un documento JSON su standard output, anche per gli errori (con il codice di uscita e il messaggio)", "machine-readable output: one JSON document on standard output, errors too (with the exit code and the message)" },
    { "CCli", "lingua dei messaggi; senza, quella del sistema (LC_ALL, LC_MESSAGES, LANG)",
      "lingua dei messaggi; senza, quella del sistema (LC_ALL, LC_MESSAGES, LANG)", "the messages' language; without it, the system's (LC_ALL, LC_MESSAGES, LANG)" },
    { "CCli", "questo aiuto; \"%1 SOTTOCOMANDO --help\" l'aiuto del sottocomando",
      "questo aiuto; \"%1 SOTTOCOMANDO --help\" l'aiuto del sottocomando", "this help; \"%1 SUBCOMMAND --help\" the subcommand's help" },
    { "CCli", "la versione del programma",
      "la versione del programma", "the program's version" },
    { "CCli", "Uso: %1",
      "Uso: %1", "Usage: %1" },
    { "CCli", "opzioni globali",
      "opzioni globali", "global options" },
    { "CCli", "SOTTOCOMANDO [opzioni]",
      "SOTTOCOMANDO [opzioni]", "SUBCOMMAND [options]" },
    { "CCli", "Le porte candidate: la centralina su USB (HID) se è collegata, le porte seriali che elenca la ricerca della porta e i collegamenti della cartella delle porte virtuali (%1).",
      "Le porte candidate: la centralina su USB (HID) se è collegata, le porte seriali che elenca la ricerca della porta e i collegamenti della cartella delle porte virtuali (%1).", "The candidate ports: the ECU on USB (HID) when it is attached, the serial ports the port search lists and the links of the virtual-port folder (%1)." },
    { "CCli", "L'identità della centralina: versione hardware, cilindri, versione del firmware.",
      "L'identità della centralina: versione hardware, cilindri, versione del firmware.", "The ECU's identity: hardware version, cylinders, firmware version." },
    { "CCli", "Legge la mappa della centralina (41 valori e K) nel file FILE (.prf, sostituito se esiste) e, come la finestra dopo ogni lettura, ne salva una copia di sicurezza nella cartella backup della cartella delle mappe.",
      "Legge la mappa della centralina (41 valori e K) nel file FILE (.prf, sostituito se esiste) e, come la finestra dopo ogni lettura, ne salva una copia di sicurezza nella cartella backup della cartella delle mappe.", "Reads the ECU's profile (41 values and K) into the file FILE (.prf, replaced when it exists) and, as the window does after every read, saves a backup of it in the backup folder of the profile folder." },
    { "CCli", "La mappa del file FILE come tabella di punti, giri e valori, e K.",
      "La mappa del file FILE come tabella di punti, giri e valori, e K.", "The profile of the file FILE as a table of points, engine speeds and values, and K." },
    { "CCli", "I punti in cui le mappe A e B differiscono (giri, A, B, differenza B - A) e K quando differisce. Esce con 0 se le mappe sono uguali, con 4 se differiscono.",
      "I punti in cui le mappe A e B differiscono (giri, A, B, differenza B - A) e K quando differisce. Esce con 0 se le mappe sono uguali, con 4 se differiscono.", "The points where the profiles A and B differ (engine speed, A, B, difference B - A), and K when it differs. Exits with 0 when the profiles are the same, with 4 when they differ." },
    { "CCli", "le porte candidate: centralina su USB, porte seriali e virtuali",
      "le porte candidate: centralina su USB, porte seriali e virtuali", "the candidate ports: ECU on USB, serial and virtual ports" },
    { "CCli", "l'identità della centralina (hardware, cilindri, firmware)",
      "l'identità della centralina (hardware, cilindri, firmware)", "the ECU's identity (hardware, cylinders, firmware)" },
    { "CCli", "legge la mappa (41 valori e K) in FILE, con la copia di sicurezza",
      "legge la mappa (41 valori e K) in FILE, con la copia di sicurezza", "reads the profile (41 values and K) into FILE, with the backup" },
    { "CCli", "scrive la mappa di FILE nella centralina, poi la verifica",
      "scrive la mappa di FILE nella centralina, poi la verifica", "writes the profile of FILE into the ECU, then checks it" },
    { "CCli", "il collegamento in tempo reale, a richiesta in un file CSV",
      "il collegamento in tempo reale, a richiesta in un file CSV", "the live link, into a CSV file on request" },
    { "CCli", "una mappa come tabella di giri e valori, e K",
      "una mappa come tabella di giri e valori, e K", "a profile as a table of engine speed and value, and K" },
    { "CCli", "i punti in cui due mappe differiscono",
      "i punti in cui due mappe differiscono", "the points where two profiles differ" },
    { "CCli", "il file in cui salvare la mappa letta",
      "il file in cui salvare la mappa letta", "the file to save the profile read to" },
    { "CCli", "senza la verifica dopo la scrittura (che rilegge la centralina)",
      "senza la verifica dopo la scrittura (che rilegge la centralina)", "without the check after the write (which reads the ECU back)" },
    { "CCli", "si ferma dopo N secondi (senza: fino a Ctrl+C)",
      "si ferma dopo N secondi (senza: fino a Ctrl+C)", "stops after N seconds (without it: at Ctrl+C)" },
    { "CCli", "ogni lettura nel file, nel formato dei log della finestra",
      "ogni lettura nel file, nel formato dei log della finestra", "every reading into the file, in the format of the window's datalogs" },
    { "CCli", "sottocomando sconosciuto: %1",
      "sottocomando sconosciuto: %1", "unknown subcommand: %1" },
    { "CCli", "opzione sconosciuta: %1",
      "opzione sconosciuta: %1", "unknown option: %1" },
    { "CCli", "manca il valore dell'opzione %1",
      "manca il valore dell'opzione %1", "missing value for option %1" },
    { "CCli", "l'opzione %1 è data più volte",
      "l'opzione %1 è data più volte", "option %1 is given more than once" },
    { "CCli", "l'opzione %1 non vuole un valore",
      "l'opzione %1 non vuole un valore", "option %1 takes no value" },
    { "CCli", "lingua non valida: \"%1\" (ammesse: it, en)",
      "lingua non valida: \"%1\" (ammesse: it, en)", "invalid language: \"%1\" (allowed: it, en)" },
    { "CCli", "l'opzione %1 vale solo con un sottocomando",
      "l'opzione %1 vale solo con un sottocomando", "option %1 needs a subcommand" },
    { "CCli", "l'opzione %1 non vale per %2",
      "l'opzione %1 non vale per %2", "option %1 does not apply to %2" },
    { "CCli", "manca il sottocomando",
      "manca il sottocomando", "missing subcommand" },
    { "CCli", "argomento inatteso: %1",
      "argomento inatteso: %1", "unexpected argument: %1" },
    { "CCli", "diff vuole due file di mappa: A e B",
      "diff vuole due file di mappa: A e B", "diff needs two profile files: A and B" },
    { "CCli", "manca il file della mappa",
      "manca il file della mappa", "missing profile file" },
    { "CCli", "manca -o FILE, il file in cui salvare la mappa letta",
      "manca -o FILE, il file in cui salvare la mappa letta", "missing -o FILE, the file to save the profile read to" },
    { "CCli", "--seconds vuole un numero intero di secondi da 1 a %1, non \"%2\"",
      "--seconds vuole un numero intero di secondi da 1 a %1, non \"%2\"", "--seconds needs a whole number of seconds from 1 to %1, not \"%2\"" },
    { "CCli", "--cylinders vuole 2 o 4, non \"%1\"",
      "--cylinders vuole 2 o 4, non \"%1\"", "--cylinders needs 2 or 4, not \"%1\"" },
    { "CCli", "porta non valida: \"%1\" (HID, un nome come ttyUSB0 o COM3, il percorso del dispositivo, o il nome di una porta virtuale)",
      "porta non valida: \"%1\" (HID, un nome come ttyUSB0 o COM3, il percorso del dispositivo, o il nome di una porta virtuale)", "invalid port: \"%1\" (HID, a name such as ttyUSB0 or COM3, the device's path, or the name of a virtual port)" },
    { "CCli", "Legge, scrive, verifica e confronta le mappe della centralina ECU Vantor senza finestra.",
      "Legge, scrive, verifica e confronta le mappe della centralina ECU Vantor senza finestra.", "Reads, writes, checks and compares the profiles of the ECU Vantor unit without a window." },
    { "CCli", "Sottocomandi:",
      "Sottocomandi:", "Subcommands:" },
    { "CCli", "Senza --port: la centralina su USB se è collegata, altrimenti l'unica porta candidata; con più porte candidate il programma le elenca ed esce con 2.",
      "Senza --port: la centralina su USB se è collegata, altrimenti l'unica porta candidata; con più porte candidate il programma le elenca ed esce con 2.", "Without --port: the ECU on USB when it is attached, else the only candidate port; with several candidate ports the program lists them and exits with 2." },
    { "CCli", "Opzioni:",
      "Opzioni:", "Options:" },
    { "CCli", "Usare \"%1\" per l'aiuto.",
      "Usare \"%1\" per l'aiuto.", "Use \"%1\" for help." },
    { "CCli", "ci sono più porte candidate; sceglierne una con --port:",
      "ci sono più porte candidate; sceglierne una con --port:", "there are several candidate ports; choose one with --port:" },
    { "CCli", "centralina non trovata: nessuna centralina su USB e nessuna porta seriale o virtuale",
      "centralina non trovata: nessuna centralina su USB e nessuna porta seriale o virtuale", "ECU not found: no ECU on USB and no serial or virtual port" },
    { "CCli", "centralina su USB (HID)",
      "centralina su USB (HID)", "ECU on USB (HID)" },
    { "CCli", "porta seriale",
      "porta seriale", "serial port" },
    { "CCli", "porta virtuale \"%1\"",
      "porta virtuale \"%1\"", "virtual port \"%1\"" },
    { "CCli", "Nessuna porta candidata: nessuna centralina su USB e nessuna porta seriale o virtuale.",
      "Nessuna porta candidata: nessuna centralina su USB e nessuna porta seriale o virtuale.", "No candidate port: no ECU on USB and no serial or virtual port." },
    { "CCli", "centralina a %1 cilindri, da 0 a %2 giri/min",
      "centralina a %1 cilindri, da 0 a %2 giri/min", "%1-cylinder ECU, 0 to %2 RPM" },
    { "CCli", "impossibile aprire il file %1: %2",
      "impossibile aprire il file %1: %2", "cannot open the file %1: %2" },
    { "CCli", "il file %1 è lungo %2 byte, un profilo ne ha %3",
      "il file %1 è lungo %2 byte, un profilo ne ha %3", "the file %1 is %2 bytes long, a profile has %3" },
    { "CCli", "impossibile leggere il file %1: %2",
      "impossibile leggere il file %1: %2", "cannot read the file %1: %2" },
    { "CCli", "è una cartella",
      "è una cartella", "it is a folder" },
    { "CCli", "impossibile scrivere il file %1: %2",
      "impossibile scrivere il file %1: %2", "cannot write the file %1: %2" },
    { "CCli", "Punto",
      "Punto", "Point" },
    { "CCli", "Giri/min",
      "Giri/min", "RPM" },
    { "CCli", "Valore",
      "Valore", "Value" },
    { "CCli", "Mappa %1 (%2)",
      "Mappa %1 (%2)", "Profile %1 (%2)" },
    { "CCli", "Le mappe %1 e %2 sono uguali (41 punti e K).",
      "Le mappe %1 e %2 sono uguali (41 punti e K).", "The profiles %1 and %2 are the same (41 points and K)." },
    { "CCli", "%n punti diversi su 41 (%1)",
      "%n punto diverso su 41 (%1)", "%n point of 41 differs (%1)" },
    { "CCli", "Differenza",
      "Differenza", "Difference" },
    { "CCli", "K: %1 in A, %2 in B",
      "K: %1 in A, %2 in B", "K: %1 in A, %2 in B" },
    { "CDataLog", "Il file è vuoto.",
      "Il file è vuoto.", "The file is empty." },
    { "CDataLogDock", "Il log è vuoto: non ha righe dopo l'intestazione.",
      "Il log è vuoto: non ha righe dopo l'intestazione.", "The log is empty: it has no rows after the header." },
    { "CProfileTableModel", "Incollato. Valori cambiati: %1 di %2.",
      "Incollato. Valori cambiati: %1 di %2.", "Pasted. Values changed: %1 of %2." },
    { "CProfileTableModel", "Rif.",
      "Rif.", "Ref." },
    { "CProfileTableModel", "Diff.",
      "Diff.", "Diff." },
    { "CProfileTableModel", "Tempo %",
      "Tempo %", "Time %" },
    { "CProfileTableModel", "Quota del tempo passato nella cella (registrazione o collegamento)",
      "Quota del tempo passato nella cella (registrazione o collegamento)", "Share of the time spent in the cell (log or live link)" },
    { "CCellTimeView", "Tempo nelle celle, in % del tempo contato",
      "Tempo nelle celle, in % del tempo contato", "Time in each cell, in % of the time counted" },
    { "CStripChart", "%1\n%2 giri/min\nsonda %3",
      "%1\n%2 giri/min\nsonda %3", "%1\n%2 rpm\nprobe %3" },
    { "CProfileExporter", "senza nome",
      "senza nome", "unnamed" },
    { "CProfileExporter", "Mappa: %1",
      "Mappa: %1", "Profile: %1" },
    { "CCli", "Legge prima la centralina, come ogni connessione (con la copia di sicurezza), poi scrive la mappa del file FILE con le regole della finestra (dall'hardware 20 il nome del file viene salvato nella centralina; K è inviato come lo invia la finestra, quando è diverso da quello della centralina), poi la rilegge e confronta i valori. Ctrl+C ferma la scrittura alla fine di un frame e dice quali indirizzi sono stati scritti.",
      "Legge prima la centralina, come ogni connessione (con la copia di sicurezza), poi scrive la mappa del file FILE con le regole della finestra (dall'hardware 20 il nome del file viene salvato nella centralina; K è inviato come lo invia la finestra, quando è diverso da quello della centralina), poi la rilegge e confronta i valori. Ctrl+C ferma la scrittura alla fine di un frame e dice quali indirizzi sono stati scritti.", "First reads the ECU, as every connection does (with the backup), then writes the profile of the file FILE with the window's rules (from hardware 20 on the file's name is stored in the ECU; K is sent as the window sends it, when it differs from the ECU's), then reads it back and compares the values. Ctrl+C stops the write at the end of a frame and says which addresses were written." },
    { "CCli", "Il collegamento in tempo reale, dopo la lettura con cui comincia ogni connessione: una riga per lettura (tempo, giri, cella, valore, sonda), al massimo 10 al secondo su un terminale, tutte in un file o una pipe. Si ferma dopo --seconds o con Ctrl+C (uscita 130); le letture restano nel file CSV.",
      "Il collegamento in tempo reale, dopo la lettura con cui comincia ogni connessione: una riga per lettura (tempo, giri, cella, valore, sonda), al massimo 10 al secondo su un terminale, tutte in un file o una pipe. Si ferma dopo --seconds o con Ctrl+C (uscita 130); le letture restano nel file CSV.", "The live link, after the read every connection starts with: one line per reading (time, engine speed, cell, value, probe), at most 10 a second on a terminal, every one into a file or a pipe. It stops after --seconds or at Ctrl+C (exit 130); the readings stay in the CSV file." },
    { "CCli", "impossibile salvare la copia di sicurezza %1: %2",
      "impossibile salvare la copia di sicurezza %1: %2", "cannot save the backup %1: %2" },
    { "CCli", "Comando non inviato alla centralina: la linea non lo ha trasmesso.",
      "Comando non inviato alla centralina: la linea non lo ha trasmesso.", "Command not sent to the ECU: the line did not carry it." },
    { "CCli", "interrotto durante la ricerca della centralina: nulla è stato inviato alla centralina oltre alla richiesta d'identità",
      "interrotto durante la ricerca della centralina: nulla è stato inviato alla centralina oltre alla richiesta d'identità", "interrupted while looking for the ECU: nothing was sent to the ECU but the identity request" },
    { "CCli", "centralina non trovata: la porta %1 non si può aprire (non esiste, è in uso o mancano i permessi)",
      "centralina non trovata: la porta %1 non si può aprire (non esiste, è in uso o mancano i permessi)", "ECU not found: the port %1 cannot be opened (it does not exist, is in use, or permission is missing)" },
    { "CCli", "centralina non trovata: nessuna centralina su USB, o non si può aprire (permessi: vedere la regola udev nel README)",
      "centralina non trovata: nessuna centralina su USB, o non si può aprire (permessi: vedere la regola udev nel README)", "ECU not found: no ECU on USB, or it cannot be opened (permission: see the udev rule in the README)" },
    { "CCli", "centralina non trovata: su %1 risponde un dispositivo che non è la centralina",
      "centralina non trovata: su %1 risponde un dispositivo che non è la centralina", "ECU not found: the device answering on %1 is not the ECU" },
    { "CCli", "centralina non trovata: nessuna risposta su %1",
      "centralina non trovata: nessuna risposta su %1", "ECU not found: no answer on %1" },
    { "CCli", "%1 su %2",
      "%1 su %2", "%1 on %2" },
    { "CCli", "Lettura",
      "Lettura", "Reading" },
    { "CCli", "interrotto durante la lettura: nulla è stato scritto",
      "interrotto durante la lettura: nulla è stato scritto", "interrupted during the read: nothing was written" },
    { "CCli", "errore di comunicazione con la centralina: non risponde più",
      "errore di comunicazione con la centralina: non risponde più", "communication failure with the ECU: it no longer answers" },
    { "CCli", "errore di comunicazione con la centralina durante la lettura",
      "errore di comunicazione con la centralina durante la lettura", "communication failure with the ECU during the read" },
    { "CCli", "errore di comunicazione con la centralina durante la scrittura",
      "errore di comunicazione con la centralina durante la scrittura", "communication failure with the ECU during the write" },
    { "CCli", "Copia di sicurezza: %1",
      "Copia di sicurezza: %1", "Backup: %1" },
    { "CCli", "modo banco acceso",
      "modo banco acceso", "test mode on" },
    { "CCli", "modo banco spento",
      "modo banco spento", "test mode off" },
    { "CCli", "nessun indirizzo confermato dalla centralina (l'indirizzo 0 potrebbe essere stato scritto)",
      "nessun indirizzo confermato dalla centralina (l'indirizzo 0 potrebbe essere stato scritto)", "no address acknowledged by the ECU (address 0 may have been written)" },
    { "CCli", "tutti i %1 indirizzi scritti",
      "tutti i %1 indirizzi scritti", "all %1 addresses written" },
    { "CCli", "scritti e confermati gli indirizzi da 0 a %1 (%2 su %3; anche l'indirizzo %4 potrebbe essere stato scritto): la centralina ha una mappa scritta a metà, scriverla di nuovo",
      "scritti e confermati gli indirizzi da 0 a %1 (%2 su %3; anche l'indirizzo %4 potrebbe essere stato scritto): la centralina ha una mappa scritta a metà, scriverla di nuovo", "addresses 0 to %1 written and acknowledged (%2 of %3; address %4 may have been written too): the ECU holds a half-written profile, write it again" },
    { "CCli", "Centralina trovata su %1",
      "Centralina trovata su %1", "ECU found on %1" },
    { "CCli", "Hardware",
      "Hardware", "Hardware" },
    { "CCli", "Cilindri",
      "Cilindri", "Cylinders" },
    { "CCli", "non indicati",
      "non indicati", "not stated" },
    { "CCli", "Firmware",
      "Firmware", "Firmware" },
    { "CCli", "(una porta seriale non comunica l'identità: sono i valori che assume la finestra)",
      "(una porta seriale non comunica l'identità: sono i valori che assume la finestra)", "(a serial port does not report the identity: these are the values the window assumes)" },
    { "CCli", "Mappa letta: 41 valori, K %1, %2",
      "Mappa letta: 41 valori, K %1, %2", "Profile read: 41 values, K %1, %2" },
    { "CCli", "Nome della mappa nella centralina: %1",
      "Nome della mappa nella centralina: %1", "Profile name in the ECU: %1" },
    { "CCli", "Salvata in %1",
      "Salvata in %1", "Saved to %1" },
    { "CCli", "Letta la mappa della centralina: K %1, %2",
      "Letta la mappa della centralina: K %1, %2", "The ECU's profile read first: K %1, %2" },
    { "CCli", "Scrittura",
      "Scrittura", "Writing" },
    { "CCli", "K %1 inviato (la centralina aveva %2)",
      "K %1 inviato (la centralina aveva %2)", "K %1 sent (the ECU held %2)" },
    { "CCli", "K %1 inviato, ma la centralina non l'ha confermato (aveva %2)",
      "K %1 inviato, ma la centralina non l'ha confermato (aveva %2)", "K %1 sent, but the ECU did not acknowledge it (it held %2)" },
    { "CCli", "K %1 come nella centralina: non inviato",
      "K %1 come nella centralina: non inviato", "K %1 as in the ECU: not sent" },
    { "CCli", "interrotto durante la verifica: la mappa è stata scritta tutta (%1 indirizzi), ma non verificata",
      "interrotto durante la verifica: la mappa è stata scritta tutta (%1 indirizzi), ma non verificata", "interrupted during the check: the whole profile was written (%1 addresses), but not checked" },
    { "CCli", "interrotto prima della scrittura: nessun indirizzo della mappa è stato scritto",
      "interrotto prima della scrittura: nessun indirizzo della mappa è stato scritto", "interrupted before the write: no address of the profile was written" },
    { "CCli", "interrotto durante la scrittura: %1",
      "interrotto durante la scrittura: %1", "interrupted during the write: %1" },
    { "CCli", "Inviato",
      "Inviato", "Sent" },
    { "CCli", "Letto",
      "Letto", "Read" },
    { "CCli", "Il nome della mappa nella centralina è diverso da quello inviato.",
      "Il nome della mappa nella centralina è diverso da quello inviato.", "The profile name in the ECU differs from the one sent." },
    { "CCli", "nel nome della mappa",
      "nel nome della mappa", "in the profile name" },
    { "CCli", "in %n punti",
      "in %n punto", "at %n point" },
    { "CCli", "la verifica dopo la scrittura ha trovato valori diversi %1: la centralina non contiene la mappa di %2",
      "la verifica dopo la scrittura ha trovato valori diversi %1: la centralina non contiene la mappa di %2", "the check after the write found different values %1: the ECU does not hold the profile of %2" },
    { "CCli", "Mappa di %1 scritta nella centralina (%2 indirizzi) e verificata",
      "Mappa di %1 scritta nella centralina (%2 indirizzi) e verificata", "Profile of %1 written to the ECU (%2 addresses) and checked" },
    { "CCli", "Mappa di %1 scritta nella centralina (%2 indirizzi), senza verifica",
      "Mappa di %1 scritta nella centralina (%2 indirizzi), senza verifica", "Profile of %1 written to the ECU (%2 addresses), not checked" },
    { "CCli", "la centralina non ha confermato K %1",
      "la centralina non ha confermato K %1", "the ECU did not acknowledge K %1" },
    { "CCli", "Tempo s",
      "Tempo s", "Time s" },
    { "CCli", "Cella",
      "Cella", "Cell" },
    { "CCli", "Sonda",
      "Sonda", "Probe" },
    { "CCli", "Collegamento in tempo reale per %n secondi (K %1)",
      "Collegamento in tempo reale per %n secondo (K %1)", "Live link for %n second (K %1)" },
    { "CCli", "Collegamento in tempo reale fino a Ctrl+C (K %1)",
      "Collegamento in tempo reale fino a Ctrl+C (K %1)", "Live link until Ctrl+C (K %1)" },
    { "CCli", "%n letture in %1 s",
      "%n lettura in %1 s", "%n reading in %1 s" },
    { "CCli", "Salvate in %1 (%2 righe)",
      "Salvate in %1 (%2 righe)", "Saved to %1 (%2 rows)" },
    { "CCli", "interrotto con Ctrl+C: il collegamento è chiuso",
      "interrotto con Ctrl+C: il collegamento è chiuso", "interrupted with Ctrl+C: the link is closed" },
};

constexpr int kTextCount = int(sizeof(kTexts) / sizeof(kTexts[0]));

using Key = QPair<QString, QString>; // context, source text

// Keys stored in a compiled catalogue. A .qm file is a 16-byte magic number
// followed by tagged blocks (tag byte, 32-bit big-endian length, data). In the
// messages block each message is a run of tagged fields closed by the End tag;
// the fields read here are the source text and the context (both UTF-8). An
// unknown field or a field running past the block is a format error.
bool readQmKeys(const QByteArray &qm, QList<Key> *keys, QString *error)
{
    enum : quint8 {
        BlockMessages = 0x69,
        End = 1, Translation = 3, Obsolete1 = 5, SourceText = 6, Context = 7, Comment = 8
    };
    auto read32 = [](const QByteArray &b, int at) {
        return quint32(quint8(b[at])) << 24 | quint32(quint8(b[at + 1])) << 16
               | quint32(quint8(b[at + 2])) << 8 | quint32(quint8(b[at + 3]));
    };

    if (qm.size() < 16) {
        *error = QStringLiteral("too short for a catalogue");
        return false;
    }
    bool sawMessages = false;
    int pos = 16;
    while (pos < qm.size()) {
        if (pos + 5 > qm.size()) {
            *error = QStringLiteral("truncated block header at %1").arg(pos);
            return false;
        }
        const quint8 tag = quint8(qm[pos]);
        const quint32 len = read32(qm, pos + 1);
        pos += 5;
        if (len > quint32(qm.size() - pos)) {
            *error = QStringLiteral("block 0x%1 runs past the end").arg(tag, 0, 16);
            return false;
        }
        if (tag == BlockMessages) {
            sawMessages = true;
            const QByteArray block = qm.mid(pos, int(len));
            int p = 0;
            QString context, source;
            bool open = false;
            while (p < block.size()) {
                const quint8 field = quint8(block[p++]);
                open = true;
                if (field == End) {
                    keys->append(qMakePair(context, source));
                    context.clear();
                    source.clear();
                    open = false;
                    continue;
                }
                if (field == Obsolete1) {
                    p += 4;
                    continue;
                }
                if (field != Translation && field != SourceText && field != Context
                    && field != Comment) {
                    *error = QStringLiteral("unknown message field %1").arg(field);
                    return false;
                }
                if (p + 4 > block.size()) {
                    *error = QStringLiteral("truncated message field");
                    return false;
                }
                const quint32 flen = read32(block, p);
                p += 4;
                if (field == Translation && flen == 0xFFFFFFFFu)
                    continue; // a null translation has no data
                if (flen > quint32(block.size() - p)) {
                    *error = QStringLiteral("message field runs past the block");
                    return false;
                }
                const QByteArray data = block.mid(p, int(flen));
                p += int(flen);
                if (field == SourceText)
                    source = QString::fromUtf8(data);
                else if (field == Context)
                    context = QString::fromUtf8(data);
            }
            if (open) {
                *error = QStringLiteral("last message has no End tag");
                return false;
            }
        }
        pos += int(len);
    }
    if (!sawMessages) {
        *error = QStringLiteral("no messages block");
        return false;
    }
    return true;
}

} // namespace

class tst_Catalogues : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void translate_data();
    void translate();
    void noKeyBeyondTheTable_data();
    void noKeyBeyondTheTable();
    void qmReaderRejectsDamagedData();
    void sourcesHoldEachContextOnce();

private:
    QTranslator italian;
    QTranslator english;
};

void tst_Catalogues::initTestCase()
{
    QCOMPARE(kTextCount, 346);
    QVERIFY(italian.load(QStringLiteral(":/linguist/ECUVantor-it.qm")));
    QVERIFY(english.load(QStringLiteral(":/linguist/ECUVantor-en.qm")));
    QCOMPARE(italian.language(), QStringLiteral("it_IT"));
}

void tst_Catalogues::translate_data()
{
    QTest::addColumn<bool>("isEnglish");
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("expected");

    for (int i = 0; i < kTextCount; ++i) {
        const Entry &e = kTexts[i];
        const QByteArray tag = QByteArray(e.context) + ": " + e.source;
        QTest::newRow(("it " + tag).constData())
            << false << QString::fromUtf8(e.context) << QString::fromUtf8(e.source)
            << QString::fromUtf8(e.italian);
        QTest::newRow(("en " + tag).constData())
            << true << QString::fromUtf8(e.context) << QString::fromUtf8(e.source)
            << QString::fromUtf8(e.english);
    }
}

void tst_Catalogues::translate()
{
    QFETCH(bool, isEnglish);
    QFETCH(QString, context);
    QFETCH(QString, source);
    QFETCH(QString, expected);

    const QTranslator &tr = isEnglish ? english : italian;
    const QString got = tr.translate(context.toUtf8().constData(), source.toUtf8().constData());
    QCOMPARE(got, expected);
}

void tst_Catalogues::noKeyBeyondTheTable_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("it") << QStringLiteral(":/linguist/ECUVantor-it.qm");
    QTest::newRow("en") << QStringLiteral(":/linguist/ECUVantor-en.qm");
}

void tst_Catalogues::noKeyBeyondTheTable()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));

    QList<Key> keys;
    QString error;
    QVERIFY2(readQmKeys(file.readAll(), &keys, &error), qPrintable(error));
    QCOMPARE(keys.size(), kTextCount);

    QSet<Key> expected;
    for (const Entry &e : kTexts)
        expected.insert(qMakePair(QString::fromUtf8(e.context), QString::fromUtf8(e.source)));
    QSet<Key> stored;
    for (const Key &k : qAsConst(keys)) {
        QVERIFY2(expected.contains(k),
                 qPrintable(QStringLiteral("unexpected key %1: \"%2\"").arg(k.first, k.second)));
        stored.insert(k);
    }
    QCOMPARE(stored.size(), kTextCount); // no key twice
}

// The reader must not count garbage as messages.
void tst_Catalogues::qmReaderRejectsDamagedData()
{
    QFile file(QStringLiteral(":/linguist/ECUVantor-en.qm"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray qm = file.readAll();

    QList<Key> keys;
    QString error;
    QVERIFY(!readQmKeys(qm.left(10), &keys, &error));
    QVERIFY(!readQmKeys(qm.left(qm.size() - 3), &keys, &error));
    QVERIFY(!readQmKeys(qm.left(16), &keys, &error)); // header only: no messages block
}

// A context split over two blocks of a .ts source is easy to miss when a
// text is added; each context is one block.
void tst_Catalogues::sourcesHoldEachContextOnce()
{
    for (const char *name : {"ECUVantor-it.ts", "ECUVantor-en.ts"}) {
        QFile file(QStringLiteral(VANTOR_TRANSLATIONS_DIR "/") + QLatin1String(name));
        QVERIFY2(file.open(QIODevice::ReadOnly), name);
        QStringList contexts;
        QXmlStreamReader xml(&file);
        while (!xml.atEnd()) { // only a context has a <name>
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("name"))
                contexts << xml.readElementText();
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY(!contexts.isEmpty());
        for (const QString &context : qAsConst(contexts))
            QVERIFY2(contexts.count(context) == 1, qPrintable(QStringLiteral("%1: %2 appears %3 times")
                                                                  .arg(QLatin1String(name), context)
                                                                  .arg(contexts.count(context))));
    }
}

QTEST_GUILESS_MAIN(tst_Catalogues)
#include "tst_catalogues.moc"

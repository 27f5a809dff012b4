<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB" sourcelanguage="it_IT">
<context>
    <name>CMsg</name>
    <message>
        <source>Link ON</source>
        <translation>RPM Monitor</translation>
    </message>
    <message>
        <source>Link OFF</source>
        <translation>RPM Monitor</translation>
    </message>
    <message>
        <source>Banco ON</source>
        <translation>Test Mode ON</translation>
    </message>
    <message>
        <source>Banco OFF</source>
        <translation>Test Mode OFF</translation>
    </message>
    <message>
        <source>&lt;Nessun profilo&gt;</source>
        <translation>&lt;No profile loaded&gt;</translation>
    </message>
    <message>
        <source>&lt;Nessuna&gt;</source>
        <translation>&lt;None&gt;</translation>
    </message>
    <message>
        <source>&lt;Selezionare una porta&gt;</source>
        <translation>&lt;Choose a port&gt;</translation>
    </message>
    <message>
        <source>Scheda trovata</source>
        <translation>ECU Vantor found</translation>
    </message>
    <message>
        <source>Scheda non trovata</source>
        <translation>ECU Vantor not found</translation>
    </message>
    <message>
        <source>Curva iniezione</source>
        <translation>Injection Plot</translation>
    </message>
    <message>
        <source>Giri al Minuto</source>
        <translation>RPM</translation>
    </message>
    <message>
        <source>Punti</source>
        <translation>Points</translation>
    </message>
    <message>
        <source>Lettura FLASH</source>
        <translation>Reading profile from ECU Vantor</translation>
    </message>
    <message>
        <source>Aggiornamento FLASH</source>
        <translation> Updating profile on ECU Vantor</translation>
    </message>
    <message>
        <source>Errore di comunicazione con la scheda</source>
        <translation>Failure to communicate with ECU Vantor</translation>
    </message>
</context>
<context>
    <name>frmProgPannel</name>
    <message>
        <source>MainWindow</source>
        <translation>MainWindow</translation>
    </message>
    <message>
        <source>tr(&quot;Carica Profilo&quot;)</source>
        <translation>Load Profile</translation>
    </message>
    <message>
        <source>tr(&quot;Salva Profilo&quot;)</source>
        <translation>Save Profile</translation>
    </message>
    <message>
        <source>tr(&quot;Exit program Alt+F4&quot;)</source>
        <translation>Exit program</translation>
    </message>
    <message>
        <source>tr(&quot;Cerca Centralina: Ctrl+P&quot;)</source>
        <translation>Search for ECU Vantor</translation>
    </message>
    <message>
        <source>tr(&quot;Muovi Sù: Ctrl+Up&quot;)</source>
        <translation>Move Up</translation>
    </message>
    <message>
        <source>tr(&quot;Muovi Giù: Ctrl+Dn&quot;)</source>
        <translation>Move Down</translation>
    </message>
    <message>
        <source>tr(&quot;Muovi Sinistra: Ctrl+Left&quot;)</source>
        <translation>Move Left</translation>
    </message>
    <message>
        <source>tr(&quot;Muovi Destra: Ctrl+Right&quot;)</source>
        <translation>Move Right</translation>
    </message>
    <message>
        <source>tr(&quot;About&quot;)</source>
        <translation>About</translation>
    </message>
    <message>
        <source>tr(&quot;Centralina 2 cilindri&quot;)</source>
        <translation>ECU Vantor for 2 cylinder bikes</translation>
    </message>
    <message>
        <source>tr(&quot;Centralina 4 cilindri&quot;)</source>
        <translation>ECU Vantor for 4 cylinder bikes</translation>
    </message>
    <message>
        <source>tr(&quot;Inglese&quot;)</source>
        <translation>English</translation>
    </message>
    <message>
        <source>tr(&quot;Italiano&quot;)</source>
        <translation>Italian</translation>
    </message>
    <message>
        <source>tr(&quot;Modo Esperto&quot;)</source>
        <translation>Expert Mode</translation>
    </message>
    <message>
        <source>tr(&quot;File&quot;)</source>
        <translation>File</translation>
    </message>
    <message>
        <source>tr(&quot;Configurazione&quot;)</source>
        <translation>Configuration</translation>
    </message>
    <message>
        <source>tr(&quot;Seleziona Centralina&quot;)</source>
        <translation>Select version of ECU Vantor</translation>
    </message>
    <message>
        <source>tr(&quot;Seleziona Lingua&quot;)</source>
        <translation>Choose your language</translation>
    </message>
    <message>
        <source>tr(&quot;Muovi Cursore&quot;)</source>
        <translation>Move Cursor</translation>
    </message>
    <message>
        <source>tr(&quot;Giri/min&quot;)</source>
        <translation>RPM</translation>
    </message>
    <message>
        <source>tr(&quot;Virtual Port&quot;)</source>
        <translation>Virtual Comm</translation>
    </message>
    <message>
        <source>tr(&quot;Cerca la porta seriale ove e&apos; collegata la centralina e ne attiva/disattiva la connessione&quot;)</source>
        <translation>Look for ECU Vantor connection and enable/disable a link</translation>
    </message>
    <message>
        <source>tr(&quot;     Ricerca Porta&quot;)</source>
        <translation>     Search for ECU Vantor</translation>
    </message>
    <message>
        <source>tr(&quot;Attiva/Blocca l&apos;aggiornamento della velocita&apos; e dell&apos;analogica sonda temperatura&quot;)</source>
        <translation>Start/Stop the update of RPM</translation>
    </message>
    <message>
        <source>tr(&quot;Link OFF&quot;)</source>
        <translation>RPM Monitor</translation>
    </message>
    <message>
        <source>tr(&quot;Invia la curva profilo alla centralina&quot;)</source>
        <translation>Send the profile plot to ECU Vantor</translation>
    </message>
    <message>
        <source>tr(&quot;Aggiorna ROM Centralina&quot;)</source>
        <translation>Update Profile on ECU Vantor</translation>
    </message>
    <message>
        <source>tr(&quot;Legge la curva profilo dalla centralina&quot;)</source>
        <translation>Read the profile plot from ECU Vantor</translation>
    </message>
    <message>
        <source>tr(&quot;Leggi ROM Centralina&quot;)</source>
        <translation>Read Profile from ECU Vantor</translation>
    </message>
    <message>
        <source>tr(&quot;Livello Sensore&quot;)</source>
        <translation>TEMP Sensor</translation>
    </message>
    <message>
        <source>tr(&quot;Valore analogico sonda temperatura&quot;)</source>
        <translation>Analogic value of temperature probe</translation>
    </message>
    <message>
        <source>tr(&quot;Imposta/Rimuove Modalita&apos; Banco di Prova&quot;)</source>
        <translation>Set/Reset Test Mode</translation>
    </message>
    <message>
        <source>tr(&quot;Banco OFF&quot;)</source>
        <translation>Test Mode OFF</translation>
    </message>
    <message>
        <source>tr(&quot;K Iniezione&quot;)</source>
        <translation>RPM Divider</translation>
    </message>
    <message>
        <source>tr(&quot;Divisore numero di giri&quot;)</source>
        <translation>RPM factor divider</translation>
    </message>
    <message>
        <source>tr(&quot;Profilo Piatto&quot;)</source>
        <translation>Flat Profile Value</translation>
    </message>
    <message>
        <source>tr(&quot;Valore del profilo piatto&quot;)</source>
        <translation>Value for Flat Profile</translation>
    </message>
    <message>
        <source>tr(&quot;Genera un Profilo Piatto&quot;)</source>
        <translation>Generate a Flat Plot</translation>
    </message>
    <message>
        <source>tr(&quot;Genera Profilo Piatto&quot;)</source>
        <translation>Generate Flat Profile</translation>
    </message>
    <message>
        <source>tr(&quot;Profilo utilizzato&quot;)</source>
        <translation>Profile in use</translation>
    </message>
    <message>
        <source>tr(&quot;Carica la curva profilo da file&quot;) </source>
        <translation>Load from file a profile plot</translation>
    </message>
    <message>
        <source>tr(&quot;Carica File di Profilo&quot;)</source>
        <translation>Load Profile</translation>
    </message>
    <message>
        <source>tr(&quot;Salva la curva profilo su file&quot;)</source>
        <translation>Save on file the current profile plot</translation>
    </message>
    <message>
        <source>tr(&quot;Salva File di Profilo&quot;)</source>
        <translation>Save Profile</translation>
    </message>
    <message>
        <source>tr(&quot;Chiude l&apos;applicazione&quot;)</source>
        <translation>Close application</translation>
    </message>
    <message>
        <source>tr(&quot;Close&quot;)</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Profili (*.prf)</source>
        <translation>Profiles (*.prf)</translation>
    </message>
    <message>
        <source>Apre File di Profilo</source>
        <translation>Load Profile</translation>
    </message>
    <message>
        <source>Salva File di Profilo</source>
        <translation>Save profile</translation>
    </message>
    <message>
        <source>Mappa letta dalla centralina</source>
        <translation>Profile read from the ECU</translation>
    </message>
    <message>
        <source>Mappa scritta nella centralina e verificata</source>
        <translation>Profile written to the ECU and verified</translation>
    </message>
    <message>
        <source>Mappa scritta nella centralina</source>
        <translation>Profile written to the ECU</translation>
    </message>
    <message>
        <source>Comando non inviato alla centralina: la linea non lo ha trasmesso</source>
        <translation>Command not sent to the ECU: the line did not carry it</translation>
    </message>
    <message>
        <source>Scrittura non riuscita: la verifica ha trovato differenze</source>
        <translation>Write failed: the check found differences</translation>
    </message>
    <message>
        <source>Lettura non riuscita</source>
        <translation>Read failed</translation>
    </message>
    <message>
        <source>Scrittura non riuscita</source>
        <translation>Write failed</translation>
    </message>
    <message>
        <source>Mappa caricata da %1</source>
        <translation>Profile loaded from %1</translation>
    </message>
    <message>
        <source>Mappa salvata in %1</source>
        <translation>Profile saved to %1</translation>
    </message>
    <message>
        <source>Mappa letta da %1 alle %2</source>
        <translation>Profile read from %1 at %2</translation>
    </message>
    <message>
        <source>Modo banco attivo</source>
        <translation>Test mode on</translation>
    </message>
    <message>
        <source>La centralina è in modo banco. Spegnere il modo banco prima di chiudere?</source>
        <translation>The ECU is in test mode. Switch test mode off before closing?</translation>
    </message>
    <message>
        <source>Spegni e chiudi</source>
        <translation>Switch off and close</translation>
    </message>
    <message>
        <source>Chiudi senza spegnere</source>
        <translation>Close without switching off</translation>
    </message>
    <message>
        <source>La centralina non ha confermato lo spegnimento del modo banco: potrebbe essere ancora in modo banco.</source>
        <translation>The ECU did not confirm that test mode was switched off: it may still be in test mode.</translation>
    </message>
    <message>
        <source>tr(&quot;Modifica&quot;)</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>tr(&quot;Annulla&quot;)</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>tr(&quot;Ripeti&quot;)</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>tr(&quot;Estendi selezione a sinistra&quot;)</source>
        <translation>Extend selection left</translation>
    </message>
    <message>
        <source>tr(&quot;Estendi selezione a destra&quot;)</source>
        <translation>Extend selection right</translation>
    </message>
    <message>
        <source>tr(&quot;Aumenta di 1&quot;)</source>
        <translation>Increase by 1</translation>
    </message>
    <message>
        <source>tr(&quot;Diminuisci di 1&quot;)</source>
        <translation>Decrease by 1</translation>
    </message>
    <message>
        <source>tr(&quot;Imposta valore...&quot;)</source>
        <translation>Set value...</translation>
    </message>
    <message>
        <source>tr(&quot;Scala in percentuale...&quot;)</source>
        <translation>Scale by percentage...</translation>
    </message>
    <message>
        <source>tr(&quot;Interpola&quot;)</source>
        <translation>Interpolate</translation>
    </message>
    <message>
        <source>tr(&quot;Leviga&quot;)</source>
        <translation>Smooth</translation>
    </message>
    <message>
        <source>tr(&quot;Confronta con file...&quot;)</source>
        <translation>Compare with file...</translation>
    </message>
    <message>
        <source>tr(&quot;Ripristina dal riferimento&quot;)</source>
        <translation>Restore from reference</translation>
    </message>
    <message>
        <source>Impossibile aprire il file %1</source>
        <translation>Cannot open the file %1</translation>
    </message>
    <message>
        <source>File di profilo</source>
        <translation>Profile file</translation>
    </message>
    <message>
        <source>Mappa modificata</source>
        <translation>Profile modified</translation>
    </message>
    <message>
        <source>La mappa mostrata è stata modificata e non è stata salvata. Salvarla prima di continuare?</source>
        <translation>The profile shown has been modified and not saved. Save it before going on?</translation>
    </message>
    <message>
        <source>%1 giri/min</source>
        <translation>%1 rpm</translation>
    </message>
    <message>
        <source>nome del profilo</source>
        <translation>profile name</translation>
    </message>
    <message>
        <source>La verifica della scrittura ha trovato valori diversi da quelli inviati (%1). La mappa su ECU Vantor non è quella mostrata.</source>
        <translation>Checking the write found values other than those sent (%1). The profile on ECU Vantor is not the one shown.</translation>
    </message>
    <message>
        <source>tr(&quot;Apri cartella backup&quot;)</source>
        <translation>Open backup folder</translation>
    </message>
    <message>
        <source>Impossibile salvare la copia di sicurezza della mappa letta in %1: %2</source>
        <translation>Cannot save the backup of the profile read to %1: %2</translation>
    </message>
    <message>
        <source>La mappa è in scrittura su ECU Vantor: chiudendo ora la ECU resterebbe scritta a metà. Chiudere comunque?</source>
        <translation>The profile is being written to ECU Vantor: closing now would leave the ECU half written. Close anyway?</translation>
    </message>
    <message>
        <source>Strumenti</source>
        <translation>Tools</translation>
    </message>
</context>
<context>
    <name>CProfileDocument</name>
    <message>
        <source>Impossibile aprire il file %1: %2</source>
        <translation>Cannot open the file %1: %2</translation>
    </message>
    <message>
        <source>Il file %1 è lungo %2 byte, un profilo ne ha %3: il file non è stato caricato.</source>
        <translation>The file %1 is %2 bytes long, a profile has %3: the file was not loaded.</translation>
    </message>
    <message>
        <source>Impossibile leggere il file %1: %2</source>
        <translation>Cannot read the file %1: %2</translation>
    </message>
    <message>
        <source>Impossibile scrivere il file %1: %2</source>
        <translation>Cannot write the file %1: %2</translation>
    </message>
    <message>
        <source>La mappa non si può cambiare mentre ECU Vantor è in lettura o scrittura.</source>
        <translation>The profile cannot be changed while ECU Vantor is being read or written.</translation>
    </message>
    <message>
        <source>ECU, letta alle %1</source>
        <translation>ECU, read at %1</translation>
    </message>
</context>
<context>
    <name>CProfileEditor</name>
    <message>
        <source>%1 giri/min: valore %2</source>
        <translation>%1 rpm: value %2</translation>
    </message>
    <message>
        <source>riferimento %1, differenza %2</source>
        <translation>reference %1, difference %2</translation>
    </message>
    <message>
        <source>selezione da %1 a %2 giri/min</source>
        <translation>selection from %1 to %2 rpm</translation>
    </message>
    <message>
        <source>Nessun punto selezionato</source>
        <translation>No point selected</translation>
    </message>
    <message>
        <source>Imposta valore</source>
        <translation>Set value</translation>
    </message>
    <message>
        <source>Valore da %1 a %2:</source>
        <translation>Value from %1 to %2:</translation>
    </message>
    <message>
        <source>Scala in percentuale</source>
        <translation>Scale by percentage</translation>
    </message>
    <message>
        <source>Profili (*.prf)</source>
        <translation>Profiles (*.prf)</translation>
    </message>
    <message>
        <source>Confronta con file</source>
        <translation>Compare with file</translation>
    </message>
    <message>
        <source>Variazione in percento (da %1 a +%2):</source>
        <translation>Change in percent (%1 to +%2):</translation>
    </message>
    <message>
        <source>Punti limitati all&apos;intervallo da %1 a %2: %3</source>
        <translation>Points limited to the range %1 to %2: %3</translation>
    </message>
</context>
<context>
    <name>frmLogin</name>
    <message>
        <source>tr(&quot;Accesso modo esperto&quot;)</source>
        <translation>Expert Mode</translation>
    </message>
    <message>
        <source>tr(&quot;Digitare la password&quot;)</source>
        <translation>Enter the  password</translation>
    </message>
    <message>
        <source>tr(&quot;Conferma&quot;)</source>
        <translation>Confirm</translation>
    </message>
</context>
<context>
    <name>frmAbout</name>
    <message>
        <source>tr(&quot;Informazioni&quot;)</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>tr(&quot;Chiudi&quot;)</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>frmRicercaPorta</name>
    <message>
        <source>tr(&quot;Ricerca porta di collegamento con la centralina&quot;)</source>
        <translation>Search for ECU Vantor</translation>
    </message>
    <message>
        <source>tr(&quot;Porte rilevate nel sistema&quot;)</source>
        <translation>Communication Ports Found on your System</translation>
    </message>
    <message>
        <source>tr(&quot;Chiudi&quot;)</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>CCommandLine</name>
    <message>
        <source>Mostra questo aiuto ed esce.</source>
        <translation>Shows this help and exits.</translation>
    </message>
    <message>
        <source>Mostra la versione del programma ed esce.</source>
        <translation>Shows the program&apos;s version and exits.</translation>
    </message>
    <message>
        <source>Lingua dell&apos;interfaccia per questa esecuzione soltanto; l&apos;impostazione salvata resta com&apos;era.</source>
        <translation>Interface language for this run only; the saved setting stays as it was.</translation>
    </message>
    <message>
        <source>NOME</source>
        <translation>NAME</translation>
    </message>
    <message>
        <source>All&apos;avvio prova la porta NOME; se vi risponde la centralina, si collega e ne legge la mappa.</source>
        <translation>At start-up, probes the port NAME; when the ECU answers there, connects and reads its profile.</translation>
    </message>
    <message>
        <source>CARTELLA</source>
        <translation>FOLDER</translation>
    </message>
    <message>
        <source>Cartella in cui si aprono le finestre di caricamento e salvataggio delle mappe.</source>
        <translation>Folder in which the dialogs that load and save profiles open.</translation>
    </message>
    <message>
        <source>Uso: %1 [opzioni]</source>
        <translation>Usage: %1 [options]</translation>
    </message>
    <message>
        <source>Strumento di taratura per la centralina d&apos;iniezione ECU Vantor.</source>
        <translation>Tuning tool for the ECU Vantor injection unit.</translation>
    </message>
    <message>
        <source>Opzioni:</source>
        <translation>Options:</translation>
    </message>
    <message>
        <source>opzione sconosciuta: %1</source>
        <translation>unknown option: %1</translation>
    </message>
    <message>
        <source>manca il valore dell&apos;opzione %1</source>
        <translation>missing value for option %1</translation>
    </message>
    <message>
        <source>lingua non valida: &quot;%1&quot; (ammesse: it, en)</source>
        <translation>invalid language: &quot;%1&quot; (allowed: it, en)</translation>
    </message>
    <message>
        <source>porta non valida: &quot;%1&quot; (un nome come ttyUSB0 o COM3, o il percorso del dispositivo)</source>
        <translation>invalid port: &quot;%1&quot; (a name such as ttyUSB0 or COM3, or the device&apos;s path)</translation>
    </message>
    <message>
        <source>cartella dei profili non utilizzabile: &quot;%1&quot;</source>
        <translation>cannot use the profile folder: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>argomento inatteso: %1</source>
        <translation>unexpected argument: %1</translation>
    </message>
    <message>
        <source>riga di comando non valida: %1</source>
        <translation>invalid command line: %1</translation>
    </message>
    <message>
        <source>Usare &quot;%1 --help&quot; per l&apos;elenco delle opzioni.</source>
        <translation>Use &quot;%1 --help&quot; for the list of options.</translation>
    </message>
</context>
<context>
    <name>CProfilePlot</name>
    <message>
        <source>Riferimento</source>
        <translation>Reference</translation>
    </message>
    <message>
        <source>Riferimento: %1</source>
        <translation>Reference: %1</translation>
    </message>
</context>
<context>
    <name>CProfileTableModel</name>
    <message>
        <source>Giri/min</source>
        <translation>RPM</translation>
    </message>
    <message>
        <source>Valore</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>Riferimento</source>
        <translation>Reference</translation>
    </message>
    <message>
        <source>Differenza</source>
        <translation>Difference</translation>
    </message>
    <message>
        <source>riga %1, colonna %2: %3</source>
        <translation>row %1, column %2: %3</translation>
    </message>
    <message>
        <source>cella vuota</source>
        <translation>empty cell</translation>
    </message>
    <message>
        <source>&quot;%1&quot; non è un numero intero</source>
        <translation>&quot;%1&quot; is not a whole number</translation>
    </message>
    <message>
        <source>%1 è fuori dall&apos;intervallo da %2 a %3</source>
        <translation>%1 is outside the range %2 to %3</translation>
    </message>
    <message>
        <source>incollare una sola colonna o una sola riga</source>
        <translation>paste a single column or a single row</translation>
    </message>
    <message>
        <source>oltre l&apos;ultimo punto: si possono incollare al massimo %1 valori</source>
        <translation>past the last point: at most %1 values can be pasted</translation>
    </message>
    <message>
        <source>Niente da incollare</source>
        <translation>Nothing to paste</translation>
    </message>
    <message>
        <source>Valore rifiutato: %1</source>
        <translation>Value refused: %1</translation>
    </message>
    <message>
        <source>Selezionare il punto da cui incollare</source>
        <translation>Select the point to paste from</translation>
    </message>
    <message>
        <source>Incollato. Valori cambiati: %1 di %2.</source>
        <translation>Pasted. Values changed: %1 of %2.</translation>
    </message>
    <message>
        <source>Rif.</source>
        <translation>Ref.</translation>
    </message>
    <message>
        <source>Diff.</source>
        <translation>Diff.</translation>
    </message>
    <message>
        <source>Tempo %</source>
        <translation>Time %</translation>
    </message>
    <message>
        <source>Quota del tempo passato nella cella (registrazione o collegamento)</source>
        <translation>Share of the time spent in the cell (log or live link)</translation>
    </message>
</context>
<context>
    <name>CProfileTableDock</name>
    <message>
        <source>Tabella mappa</source>
        <translation>Profile table</translation>
    </message>
</context>
<context>
    <name>CCellTimeView</name>
    <message>
        <source>Tempo nelle celle</source>
        <translation>Time in each cell</translation>
    </message>
    <message>
        <source>Mostra sotto la curva quanto tempo il motore è rimasto in ogni cella</source>
        <translation>Shows under the curve how long the engine ran in each cell</translation>
    </message>
    <message>
        <source>Azzera tempo nelle celle</source>
        <translation>Reset time in each cell</translation>
    </message>
    <message>
        <source>Tempo nelle celle, in % del tempo contato</source>
        <translation>Time in each cell, in % of the time counted</translation>
    </message>
</context>
<context>
    <name>CProfileExporter</name>
    <message>
        <source>Impossibile scrivere il file %1: %2</source>
        <translation>Cannot write the file %1: %2</translation>
    </message>
    <message>
        <source>Il formato di %1 non è riconosciuto: il nome deve finire con .png o .pdf.</source>
        <translation>The format of %1 is not recognised: the name must end with .png or .pdf.</translation>
    </message>
    <message>
        <source>Esporta grafico...</source>
        <translation>Export plot...</translation>
    </message>
    <message>
        <source>Esporta mappa CSV...</source>
        <translation>Export profile as CSV...</translation>
    </message>
    <message>
        <source>mappa</source>
        <translation>profile</translation>
    </message>
    <message>
        <source>Esporta grafico</source>
        <translation>Export plot</translation>
    </message>
    <message>
        <source>Immagine PNG (*.png)</source>
        <translation>PNG image (*.png)</translation>
    </message>
    <message>
        <source>Documento PDF (*.pdf)</source>
        <translation>PDF document (*.pdf)</translation>
    </message>
    <message>
        <source>Grafico esportato in %1</source>
        <translation>Plot exported to %1</translation>
    </message>
    <message>
        <source>Esporta mappa CSV</source>
        <translation>Export profile as CSV</translation>
    </message>
    <message>
        <source>File CSV (*.csv)</source>
        <translation>CSV file (*.csv)</translation>
    </message>
    <message>
        <source>Mappa esportata in %1</source>
        <translation>Profile exported to %1</translation>
    </message>
    <message>
        <source>senza nome</source>
        <translation>unnamed</translation>
    </message>
    <message>
        <source>Mappa: %1</source>
        <translation>Profile: %1</translation>
    </message>
</context>
<context>
    <name>CRecentFiles</name>
    <message>
        <source>Il file %1 non esiste più ed è stato tolto dai file recenti.</source>
        <translation>The file %1 no longer exists and has been removed from the recent files.</translation>
    </message>
    <message>
        <source>File recenti</source>
        <translation>Recent files</translation>
    </message>
    <message>
        <source>Nessun file recente</source>
        <translation>No recent files</translation>
    </message>
</context>
<context>
    <name>CDataLog</name>
    <message>
        <source>Riga %1: %2 campi invece di %3.</source>
        <translation>Line %1: %2 fields instead of %3.</translation>
    </message>
    <message>
        <source>Riga %1: il campo %2 (&quot;%3&quot;) non è un numero intero.</source>
        <translation>Line %1: the field %2 (&quot;%3&quot;) is not a whole number.</translation>
    </message>
    <message>
        <source>Riga %1: il campo %2 vale %3, fuori dall&apos;intervallo da %4 a %5.</source>
        <translation>Line %1: the field %2 is %3, outside the range %4 to %5.</translation>
    </message>
    <message>
        <source>Riga %1: il tempo torna indietro (%2 ms dopo %3 ms).</source>
        <translation>Line %1: the time goes backwards (%2 ms after %3 ms).</translation>
    </message>
    <message>
        <source>Riga %1: l&apos;intestazione deve essere &quot;%2&quot;.</source>
        <translation>Line %1: the header must be &quot;%2&quot;.</translation>
    </message>
    <message>
        <source>Impossibile leggere il file %1: %2</source>
        <translation>Cannot read the file %1: %2</translation>
    </message>
    <message>
        <source>Il file %1 è troppo grande per essere un log.</source>
        <translation>The file %1 is too large to be a log.</translation>
    </message>
    <message>
        <source>Il file è vuoto.</source>
        <translation>The file is empty.</translation>
    </message>
</context>
<context>
    <name>CDataLogRecorder</name>
    <message>
        <source>Impossibile scrivere il file %1: %2. La registrazione è stata interrotta.</source>
        <translation>Cannot write the file %1: %2. The recording has stopped.</translation>
    </message>
    <message>
        <source>Impossibile creare la cartella %1.</source>
        <translation>Cannot create the folder %1.</translation>
    </message>
    <message>
        <source>Impossibile creare il file %1: %2</source>
        <translation>Cannot create the file %1: %2</translation>
    </message>
</context>
<context>
    <name>CStripChart</name>
    <message>
        <source>Giri/min</source>
        <translation>RPM</translation>
    </message>
    <message>
        <source>Sonda (ADC)</source>
        <translation>Probe (ADC)</translation>
    </message>
    <message>
        <source>Tempo (s)</source>
        <translation>Time (s)</translation>
    </message>
    <message>
        <source>%1
%2 giri/min
sonda %3</source>
        <translation>%1
%2 rpm
probe %3</translation>
    </message>
</context>
<context>
    <name>CDataLogDock</name>
    <message>
        <source>Registrazione dati</source>
        <translation>Data logging</translation>
    </message>
    <message>
        <source>Registra log</source>
        <translation>Record log</translation>
    </message>
    <message>
        <source>Apri log...</source>
        <translation>Open log...</translation>
    </message>
    <message>
        <source>Registrazione in corso</source>
        <translation>Recording</translation>
    </message>
    <message>
        <source>Apri log</source>
        <translation>Open log</translation>
    </message>
    <message>
        <source>Impossibile aprire il log %1. %2</source>
        <translation>Cannot open the log %1. %2</translation>
    </message>
    <message>
        <source>Log (*.csv)</source>
        <translation>Log (*.csv)</translation>
    </message>
    <message>
        <source>Pausa</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Riproduci</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>Il log è vuoto: non ha righe dopo l'intestazione.</source>
        <translation>The log is empty: it has no rows after the header.</translation>
    </message>
</context>
<context>
    <name>CButtonActions</name>
    <message>
        <source>Centralina</source>
        <translation>ECU</translation>
    </message>
</context>
<context>
    <name>CWholeNumberDialog</name>
    <message>
        <source>Scrivere un numero intero da %1 a %2</source>
        <translation>Type a whole number from %1 to %2</translation>
    </message>
</context>
<context>
    <name>CCli</name>
    <message>
        <source>la porta: HID (la centralina su USB), un nome come ttyUSB0 o COM3, il percorso del dispositivo, o il nome di una porta virtuale come ecu-sim. Senza --port: la centralina su USB se è collegata, altrimenti l&apos;unica porta candidata (vedere ports).</source>
        <translation>the port: HID (the ECU on USB), a name such as ttyUSB0 or COM3, the device&apos;s path, or the name of a virtual port such as ecu-sim. Without --port: the ECU on USB when it is attached, else the only candidate port (see ports).</translation>
    </message>
    <message>
        <source>la variante della centralina, che dà la scala dei giri: 2 cilindri (fino a 12000 giri/min, il predefinito) o 4 (fino a 17000 giri/min).</source>
        <translation>the ECU variant, which sets the engine-speed scale: 2 cylinders (up to 12000 RPM, the default) or 4 (up to 17000 RPM).</translation>
    </message>
    <message>
        <source>Codici di uscita:</source>
        <translation>Exit codes:</translation>
    </message>
    <message>
        <source>fatto</source>
        <translation>done</translation>
    </message>
    <message>
        <source>errore di comunicazione con la centralina</source>
        <translation>communication failure with the ECU</translation>
    </message>
    <message>
        <source>uso errato: opzioni o argomenti sbagliati, più porte candidate senza --port</source>
        <translation>usage error: wrong options or arguments, several candidate ports without --port</translation>
    </message>
    <message>
        <source>centralina non trovata</source>
        <translation>ECU not found</translation>
    </message>
    <message>
        <source>valori diversi: la verifica dopo la scrittura, o diff di due mappe diverse</source>
        <translation>different values: the check after a write, or diff of two different profiles</translation>
    </message>
    <message>
        <source>un file che non si può leggere o scrivere (con il motivo)</source>
        <translation>a file that cannot be read or written (with its reason)</translation>
    </message>
    <message>
        <source>interrotto con Ctrl+C</source>
        <translation>interrupted with Ctrl+C</translation>
    </message>
    <message>
        <source>Opzioni globali (anche dopo il sottocomando):</source>
        <translation>Global options (also after the subcommand):</translation>
    </message>
    <message>
        <source>risultato leggibile da un programma: un documento JSON su standard output, anche per gli errori (con il codice di uscita e il messaggio)</source>
        <translation>machine-readable output: one JSON document on standard output, errors too (with the exit code and the message)</translation>
    </message>
    <message>
        <source>lingua dei messaggi; senza, quella del sistema (LC_ALL, LC_MESSAGES, LANG)</source>
        <translation>the messages&apos; language; without it, the system&apos;s (LC_ALL, LC_MESSAGES, LANG)</translation>
    </message>
    <message>
        <source>questo aiuto; &quot;%1 SOTTOCOMANDO --help&quot; l&apos;aiuto del sottocomando</source>
        <translation>this help; &quot;%1 SUBCOMMAND --help&quot; the subcommand&apos;s help</translation>
    </message>
    <message>
        <source>la versione del programma</source>
        <translation>the program&apos;s version</translation>
    </message>
    <message>
        <source>Uso: %1</source>
        <translation>Usage: %1</translation>
    </message>
    <message>
        <source>opzioni globali</source>
        <translation>global options</translation>
    </message>
    <message>
        <source>SOTTOCOMANDO [opzioni]</source>
        <translation>SUBCOMMAND [options]</translation>
    </message>
    <message>
        <source>Le porte candidate: la centralina su USB (HID) se è collegata, le porte seriali che elenca la ricerca della porta e i collegamenti della cartella delle porte virtuali (%1).</source>
        <translation>The candidate ports: the ECU on USB (HID) when it is attached, the serial ports the port search lists and the links of the virtual-port folder (%1).</translation>
    </message>
    <message>
        <source>L&apos;identità della centralina: versione hardware, cilindri, versione del firmware.</source>
        <translation>The ECU&apos;s identity: hardware version, cylinders, firmware version.</translation>
    </message>
    <message>
        <source>Legge la mappa della centralina (41 valori e K) nel file FILE (.prf, sostituito se esiste) e, come la finestra dopo ogni lettura, ne salva una copia di sicurezza nella cartella backup della cartella delle mappe.</source>
        <translation>Reads the ECU&apos;s profile (41 values and K) into the file FILE (.prf, replaced when it exists) and, as the window does after every read, saves a backup of it in the backup folder of the profile folder.</translation>
    </message>
    <message>
        <source>La mappa del file FILE come tabella di punti, giri e valori, e K.</source>
        <translation>The profile of the file FILE as a table of points, engine speeds and values, and K.</translation>
    </message>
    <message>
        <source>I punti in cui le mappe A e B differiscono (giri, A, B, differenza B - A) e K quando differisce. Esce con 0 se le mappe sono uguali, con 4 se differiscono.</source>
        <translation>The points where the profiles A and B differ (engine speed, A, B, difference B - A), and K when it differs. Exits with 0 when the profiles are the same, with 4 when they differ.</translation>
    </message>
    <message>
        <source>le porte candidate: centralina su USB, porte seriali e virtuali</source>
        <translation>the candidate ports: ECU on USB, serial and virtual ports</translation>
    </message>
    <message>
        <source>l&apos;identità della centralina (hardware, cilindri, firmware)</source>
        <translation>the ECU&apos;s identity (hardware, cylinders, firmware)</translation>
    </message>
    <message>
        <source>legge la mappa (41 valori e K) in FILE, con la copia di sicurezza</source>
        <translation>reads the profile (41 values and K) into FILE, with the backup</translation>
    </message>
    <message>
        <source>scrive la mappa di FILE nella centralina, poi la verifica</source>
        <translation>writes the profile of FILE into the ECU, then checks it</translation>
    </message>
    <message>
        <source>il collegamento in tempo reale, a richiesta in un file CSV</source>
        <translation>the live link, into a CSV file on request</translation>
    </message>
    <message>
        <source>una mappa come tabella di giri e valori, e K</source>
        <translation>a profile as a table of engine speed and value, and K</translation>
    </message>
    <message>
        <source>i punti in cui due mappe differiscono</source>
        <translation>the points where two profiles differ</translation>
    </message>
    <message>
        <source>il file in cui salvare la mappa letta</source>
        <translation>the file to save the profile read to</translation>
    </message>
    <message>
        <source>senza la verifica dopo la scrittura (che rilegge la centralina)</source>
        <translation>without the check after the write (which reads the ECU back)</translation>
    </message>
    <message>
        <source>si ferma dopo N secondi (senza: fino a Ctrl+C)</source>
        <translation>stops after N seconds (without it: at Ctrl+C)</translation>
    </message>
    <message>
        <source>ogni lettura nel file, nel formato dei log della finestra</source>
        <translation>every reading into the file, in the format of the window&apos;s datalogs</translation>
    </message>
    <message>
        <source>sottocomando sconosciuto: %1</source>
        <translation>unknown subcommand: %1</translation>
    </message>
    <message>
        <source>opzione sconosciuta: %1</source>
        <translation>unknown option: %1</translation>
    </message>
    <message>
        <source>manca il valore dell&apos;opzione %1</source>
        <translation>missing value for option %1</translation>
    </message>
    <message>
        <source>l&apos;opzione %1 è data più volte</source>
        <translation>option %1 is given more than once</translation>
    </message>
    <message>
        <source>l&apos;opzione %1 non vuole un valore</source>
        <translation>option %1 takes no value</translation>
    </message>
    <message>
        <source>lingua non valida: &quot;%1&quot; (ammesse: it, en)</source>
        <translation>invalid language: &quot;%1&quot; (allowed: it, en)</translation>
    </message>
    <message>
        <source>l&apos;opzione %1 vale solo con un sottocomando</source>
        <translation>option %1 needs a subcommand</translation>
    </message>
    <message>
        <source>l&apos;opzione %1 non vale per %2</source>
        <translation>option %1 does not apply to %2</translation>
    </message>
    <message>
        <source>manca il sottocomando</source>
        <translation>missing subcommand</translation>
    </message>
    <message>
        <source>argomento inatteso: %1</source>
        <translation>unexpected argument: %1</translation>
    </message>
    <message>
        <source>diff vuole due file di mappa: A e B</source>
        <translation>diff needs two profile files: A and B</translation>
    </message>
    <message>
        <source>manca il file della mappa</source>
        <translation>missing profile file</translation>
    </message>
    <message>
        <source>manca -o FILE, il file in cui salvare la mappa letta</source>
        <translation>missing -o FILE, the file to save the profile read to</translation>
    </message>
    <message>
        <source>--seconds vuole un numero intero di secondi da 1 a %1, non &quot;%2&quot;</source>
        <translation>--seconds needs a whole number of seconds from 1 to %1, not &quot;%2&quot;</translation>
    </message>
    <message>
        <source>--cylinders vuole 2 o 4, non &quot;%1&quot;</source>
        <translation>--cylinders needs 2 or 4, not &quot;%1&quot;</translation>
    </message>
    <message>
        <source>porta non valida: &quot;%1&quot; (HID, un nome come ttyUSB0 o COM3, il percorso del dispositivo, o il nome di una porta virtuale)</source>
        <translation>invalid port: &quot;%1&quot; (HID, a name such as ttyUSB0 or COM3, the device&apos;s path, or the name of a virtual port)</translation>
    </message>
    <message>
        <source>Legge, scrive, verifica e confronta le mappe della centralina ECU Vantor senza finestra.</source>
        <translation>Reads, writes, checks and compares the profiles of the ECU Vantor unit without a window.</translation>
    </message>
    <message>
        <source>Sottocomandi:</source>
        <translation>Subcommands:</translation>
    </message>
    <message>
        <source>Senza --port: la centralina su USB se è collegata, altrimenti l&apos;unica porta candidata; con più porte candidate il programma le elenca ed esce con 2.</source>
        <translation>Without --port: the ECU on USB when it is attached, else the only candidate port; with several candidate ports the program lists them and exits with 2.</translation>
    </message>
    <message>
        <source>Opzioni:</source>
        <translation>Options:</translation>
    </message>
    <message>
        <source>Usare &quot;%1&quot; per l&apos;aiuto.</source>
        <translation>Use &quot;%1&quot; for help.</translation>
    </message>
    <message>
        <source>ci sono più porte candidate; sceglierne una con --port:</source>
        <translation>there are several candidate ports; choose one with --port:</translation>
    </message>
    <message>
        <source>centralina non trovata: nessuna centralina su USB e nessuna porta seriale o virtuale</source>
        <translation>ECU not found: no ECU on USB and no serial or virtual port</translation>
    </message>
    <message>
        <source>centralina su USB (HID)</source>
        <translation>ECU on USB (HID)</translation>
    </message>
    <message>
        <source>porta seriale</source>
        <translation>serial port</translation>
    </message>
    <message>
        <source>porta virtuale &quot;%1&quot;</source>
        <translation>virtual port &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Nessuna porta candidata: nessuna centralina su USB e nessuna porta seriale o virtuale.</source>
        <translation>No candidate port: no ECU on USB and no serial or virtual port.</translation>
    </message>
    <message>
        <source>centralina a %1 cilindri, da 0 a %2 giri/min</source>
        <translation>%1-cylinder ECU, 0 to %2 RPM</translation>
    </message>
    <message>
        <source>impossibile aprire il file %1: %2</source>
        <translation>cannot open the file %1: %2</translation>
    </message>
    <message>
        <source>il file %1 è lungo %2 byte, un profilo ne ha %3</source>
        <translation>the file %1 is %2 bytes long, a profile has %3</translation>
    </message>
    <message>
        <source>impossibile leggere il file %1: %2</source>
        <translation>cannot read the file %1: %2</translation>
    </message>
    <message>
        <source>è una cartella</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>impossibile scrivere il file %1: %2</source>
        <translation>cannot write the file %1: %2</translation>
    </message>
    <message>
        <source>Punto</source>
        <translation>Point</translation>
    </message>
    <message>
        <source>Giri/min</source>
        <translation>RPM</translation>
    </message>
    <message>
        <source>Valore</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>Mappa %1 (%2)</source>
        <translation>Profile %1 (%2)</translation>
    </message>
    <message>
        <source>Le mappe %1 e %2 sono uguali (41 punti e K).</source>
        <translation>The profiles %1 and %2 are the same (41 points and K).</translation>
    </message>
    <message numerus="yes">
        <source>%n punti diversi su 41 (%1)</source>
        <translation>
            <numerusform>%n point of 41 differs (%1)</numerusform>
            <numerusform>%n points of 41 differ (%1)</numerusform>
        </translation>
    </message>
    <message>
        <source>Differenza</source>
        <translation>Difference</translation>
    </message>
    <message>
        <source>K: %1 in A, %2 in B</source>
        <translation>K: %1 in A, %2 in B</translation>
    </message>
    <message>
        <source>Legge prima la centralina, come ogni connessione (con la copia di sicurezza), poi scrive la mappa del file FILE con le regole della finestra (dall&apos;hardware 20 il nome del file viene salvato nella centralina; K è inviato come lo invia la finestra, quando è diverso da quello della centralina), poi la rilegge e confronta i valori. Ctrl+C ferma la scrittura alla fine di un frame e dice quali indirizzi sono stati scritti.</source>
        <translation>First reads the ECU, as every connection does (with the backup), then writes the profile of the file FILE with the window&apos;s rules (from hardware 20 on the file&apos;s name is stored in the ECU; K is sent as the window sends it, when it differs from the ECU&apos;s), then reads it back and compares the values. Ctrl+C stops the write at the end of a frame and says which addresses were written.</translation>
    </message>
    <message>
        <source>Il collegamento in tempo reale, dopo la lettura con cui comincia ogni connessione: una riga per lettura (tempo, giri, cella, valore, sonda), al massimo 10 al secondo su un terminale, tutte in un file o una pipe. Si ferma dopo --seconds o con Ctrl+C (uscita 130); le letture restano nel file CSV.</source>
        <translation>The live link, after the read every connection starts with: one line per reading (time, engine speed, cell, value, probe), at most 10 a second on a terminal, every one into a file or a pipe. It stops after --seconds or at Ctrl+C (exit 130); the readings stay in the CSV file.</translation>
    </message>
    <message>
        <source>impossibile salvare la copia di sicurezza %1: %2</source>
        <translation>cannot save the backup %1: %2</translation>
    </message>
    <message>
        <source>Comando non inviato alla centralina: la linea non lo ha trasmesso.</source>
        <translation>Command not sent to the ECU: the line did not carry it.</translation>
    </message>
    <message>
        <source>interrotto durante la ricerca della centralina: nulla è stato inviato alla centralina oltre alla richiesta d&apos;identità</source>
        <translation>interrupted while looking for the ECU: nothing was sent to the ECU but the identity request</translation>
    </message>
    <message>
        <source>centralina non trovata: la porta %1 non si può aprire (non esiste, è in uso o mancano i permessi)</source>
        <translation>ECU not found: the port %1 cannot be opened (it does not exist, is in use, or permission is missing)</translation>
    </message>
    <message>
        <source>centralina non trovata: nessuna centralina su USB, o non si può aprire (permessi: vedere la regola udev nel README)</source>
        <translation>ECU not found: no ECU on USB, or it cannot be opened (permission: see the udev rule in the README)</translation>
    </message>
    <message>
        <source>centralina non trovata: su %1 risponde un dispositivo che non è la centralina</source>
        <translation>ECU not found: the device answering on %1 is not the ECU</translation>
    </message>
    <message>
        <source>centralina non trovata: nessuna risposta su %1</source>
        <translation>ECU not found: no answer on %1</translation>
    </message>
    <message>
        <source>%1 su %2</source>
        <translation>%1 on %2</translation>
    </message>
    <message>
        <source>Lettura</source>
        <translation>Reading</translation>
    </message>
    <message>
        <source>interrotto durante la lettura: nulla è stato scritto</source>
        <translation>interrupted during the read: nothing was written</translation>
    </message>
    <message>
        <source>errore di comunicazione con la centralina: non risponde più</source>
        <translation>communication failure with the ECU: it no longer answers</translation>
    </message>
    <message>
        <source>errore di comunicazione con la centralina durante la lettura</source>
        <translation>communication failure with the ECU during the read</translation>
    </message>
    <message>
        <source>errore di comunicazione con la centralina durante la scrittura</source>
        <translation>communication failure with the ECU during the write</translation>
    </message>
    <message>
        <source>Copia di sicurezza: %1</source>
        <translation>Backup: %1</translation>
    </message>
    <message>
        <source>modo banco acceso</source>
        <translation>test mode on</translation>
    </message>
    <message>
        <source>modo banco spento</source>
        <translation>test mode off</translation>
    </message>
    <message>
        <source>nessun indirizzo confermato dalla centralina (l&apos;indirizzo 0 potrebbe essere stato scritto)</source>
        <translation>no address acknowledged by the ECU (address 0 may have been written)</translation>
    </message>
    <message>
        <source>tutti i %1 indirizzi scritti</source>
        <translation>all %1 addresses written</translation>
    </message>
    <message>
        <source>scritti e confermati gli indirizzi da 0 a %1 (%2 su %3; anche l&apos;indirizzo %4 potrebbe essere stato scritto): la centralina ha una mappa scritta a metà, scriverla di nuovo</source>
        <translation>addresses 0 to %1 written and acknowledged (%2 of %3; address %4 may have been written too): the ECU holds a half-written profile, write it again</translation>
    </message>
    <message>
        <source>Centralina trovata su %1</source>
        <translation>ECU found on %1</translation>
    </message>
    <message>
        <source>Hardware</source>
        <translation>Hardware</translation>
    </message>
    <message>
        <source>Cilindri</source>
        <translation>Cylinders</translation>
    </message>
    <message>
        <source>non indicati</source>
        <translation>not stated</translation>
    </message>
    <message>
        <source>Firmware</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <source>(una porta seriale non comunica l&apos;identità: sono i valori che assume la finestra)</source>
        <translation>(a serial port does not report the identity: these are the values the window assumes)</translation>
    </message>
    <message>
        <source>Mappa letta: 41 valori, K %1, %2</source>
        <translation>Profile read: 41 values, K %1, %2</translation>
    </message>
    <message>
        <source>Nome della mappa nella centralina: %1</source>
        <translation>Profile name in the ECU: %1</translation>
    </message>
    <message>
        <source>Salvata in %1</source>
        <translation>Saved to %1</translation>
    </message>
    <message>
        <source>Letta la mappa della centralina: K %1, %2</source>
        <translation>The ECU&apos;s profile read first: K %1, %2</translation>
    </message>
    <message>
        <source>Scrittura</source>
        <translation>Writing</translation>
    </message>
    <message>
        <source>K %1 inviato (la centralina aveva %2)</source>
        <translation>K %1 sent (the ECU held %2)</translation>
    </message>
    <message>
        <source>K %1 inviato, ma la centralina non l&apos;ha confermato (aveva %2)</source>
        <translation>K %1 sent, but the ECU did not acknowledge it (it held %2)</translation>
    </message>
    <message>
        <source>K %1 come nella centralina: non inviato</source>
        <translation>K %1 as in the ECU: not sent</translation>
    </message>
    <message>
        <source>interrotto durante la verifica: la mappa è stata scritta tutta (%1 indirizzi), ma non verificata</source>
        <translation>interrupted during the check: the whole profile was written (%1 addresses), but not checked</translation>
    </message>
    <message>
        <source>interrotto prima della scrittura: nessun indirizzo della mappa è stato scritto</source>
        <translation>interrupted before the write: no address of the profile was written</translation>
    </message>
    <message>
        <source>interrotto durante la scrittura: %1</source>
        <translation>interrupted during the write: %1</translation>
    </message>
    <message>
        <source>Inviato</source>
        <translation>Sent</translation>
    </message>
    <message>
        <source>Letto</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>Il nome della mappa nella centralina è diverso da quello inviato.</source>
        <translation>The profile name in the ECU differs from the one sent.</translation>
    </message>
    <message>
        <source>nel nome della mappa</source>
        <translation>in the profile name</translation>
    </message>
    <message numerus="yes">
        <source>in %n punti</source>
        <translation>
            <numerusform>at %n point</numerusform>
            <numerusform>at %n points</numerusform>
        </translation>
    </message>
    <message>
        <source>la verifica dopo la scrittura ha trovato valori diversi %1: la centralina non contiene la mappa di %2</source>
        <translation>the check after the write found different values %1: the ECU does not hold the profile of %2</translation>
    </message>
    <message>
        <source>Mappa di %1 scritta nella centralina (%2 indirizzi) e verificata</source>
        <translation>Profile of %1 written to the ECU (%2 addresses) and checked</translation>
    </message>
    <message>
        <source>Mappa di %1 scritta nella centralina (%2 indirizzi), senza verifica</source>
        <translation>Profile of %1 written to the ECU (%2 addresses), not checked</translation>
    </message>
    <message>
        <source>la centralina non ha confermato K %1</source>
        <translation>the ECU did not acknowledge K %1</translation>
    </message>
    <message>
        <source>Tempo s</source>
        <translation>Time s</translation>
    </message>
    <message>
        <source>Cella</source>
        <translation>Cell</translation>
    </message>
    <message>
        <source>Sonda</source>
        <translation>Probe</translation>
    </message>
    <message numerus="yes">
        <source>Collegamento in tempo reale per %n secondi (K %1)</source>
        <translation>
            <numerusform>Live link for %n second (K %1)</numerusform>
            <numerusform>Live link for %n seconds (K %1)</numerusform>
        </translation>
    </message>
    <message>
        <source>Collegamento in tempo reale fino a Ctrl+C (K %1)</source>
        <translation>Live link until Ctrl+C (K %1)</translation>
    </message>
    <message numerus="yes">
        <source>%n letture in %1 s</source>
        <translation>
            <numerusform>%n reading in %1 s</numerusform>
            <numerusform>%n readings in %1 s</numerusform>
        </translation>
    </message>
    <message>
        <source>Salvate in %1 (%2 righe)</source>
        <translation>Saved to %1 (%2 rows)</translation>
    </message>
    <message>
        <source>interrotto con Ctrl+C: il collegamento è chiuso</source>
        <translation>interrupted with Ctrl+C: the link is closed</translation>
    </message>
</context>
</TS>

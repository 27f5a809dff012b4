<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT" sourcelanguage="it_IT">
<context>
    <name>CMsg</name>
    <message>
        <source>Link ON</source>
        <translation>Monitor n.ro giri</translation>
    </message>
    <message>
        <source>Link OFF</source>
        <translation>Monitor n.ro giri</translation>
    </message>
    <message>
        <source>Banco ON</source>
        <translation>Banco ON</translation>
    </message>
    <message>
        <source>Banco OFF</source>
        <translation>Banco OFF</translation>
    </message>
    <message>
        <source>&lt;Nessun profilo&gt;</source>
        <translation>&lt;Nessuna mappa caricata&gt;</translation>
    </message>
    <message>
        <source>&lt;Nessuna&gt;</source>
        <translation>&lt;Nessuna&gt;</translation>
    </message>
    <message>
        <source>&lt;Selezionare una porta&gt;</source>
        <translation>&lt;Selezionare una porta&gt;</translation>
    </message>
    <message>
        <source>Scheda trovata</source>
        <translation>ECU Vantor trovato</translation>
    </message>
    <message>
        <source>Scheda non trovata</source>
        <translation>ECU Vantor non trovato</translation>
    </message>
    <message>
        <source>Curva iniezione</source>
        <translation>Mappa Iniezione</translation>
    </message>
    <message>
        <source>Giri al Minuto</source>
        <translation>Giri al minuto</translation>
    </message>
    <message>
        <source>Punti</source>
        <translation>Punti</translation>
    </message>
    <message>
        <source>Lettura FLASH</source>
        <translation>Lettura mappa da ECU Vantor</translation>
    </message>
    <message>
        <source>Aggiornamento FLASH</source>
        <translation>Aggiornamento mappa su ECU Vantor</translation>
    </message>
    <message>
        <source>Errore di comunicazione con la scheda</source>
        <translation>Errore di comunicazione con ECU Vantor</translation>
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
        <translation>Carica Mappa</translation>
    </message>
    <message>
        <source>tr(&quot;Salva Profilo&quot;)</source>
        <translation>Salva Mappa</translation>
    </message>
    <message>
        <source>tr(&quot;Exit program Alt+F4&quot;)</source>
        <translation>Termina programma</translation>
    </message>
    <message>
        <source>tr(&quot;Cerca Centralina: Ctrl+P&quot;)</source>
        <translation>Cerca ECU Vantor</translation>
    </message>
    <message>
        <source>tr(&quot;Muovi Sù: Ctrl+Up&quot;)</source>
        <translation>Muovi Sù</translation>
    </message>
    <message>
        <source>tr(&quot;Muovi Giù: Ctrl+Dn&quot;)</source>
        <translation>Muovi Giù</translation>
    </message>
    <message>
        <source>tr(&quot;Muovi Sinistra: Ctrl+Left&quot;)</source>
        <translation>Muovi Sinistra</translation>
    </message>
    <message>
        <source>tr(&quot;Muovi Destra: Ctrl+Right&quot;)</source>
        <translation>Muovi Destra</translation>
    </message>
    <message>
        <source>tr(&quot;About&quot;)</source>
        <translation>Informazioni</translation>
    </message>
    <message>
        <source>tr(&quot;Centralina 2 cilindri&quot;)</source>
        <translation>ECU Vantor per moto a 2 cilindri</translation>
    </message>
    <message>
        <source>tr(&quot;Centralina 4 cilindri&quot;)</source>
        <translation>ECU Vantor per moto a 4 cilindri</translation>
    </message>
    <message>
        <source>tr(&quot;Inglese&quot;)</source>
        <translation>Inglese</translation>
    </message>
    <message>
        <source>tr(&quot;Italiano&quot;)</source>
        <translation>Italiano</translation>
    </message>
    <message>
        <source>tr(&quot;Modo Esperto&quot;)</source>
        <translation>Modo Esperto</translation>
    </message>
    <message>
        <source>tr(&quot;File&quot;)</source>
        <translation>File</translation>
    </message>
    <message>
        <source>tr(&quot;Configurazione&quot;)</source>
        <translation>Configurazione</translation>
    </message>
    <message>
        <source>tr(&quot;Seleziona Centralina&quot;)</source>
        <translation>Seleziona versione ECU Vantor</translation>
    </message>
    <message>
        <source>tr(&quot;Seleziona Lingua&quot;)</source>
        <translation>Seleziona Lingua</translation>
    </message>
    <message>
        <source>tr(&quot;Muovi Cursore&quot;)</source>
        <translation>Muovi Cursore</translation>
    </message>
    <message>
        <source>tr(&quot;Giri/min&quot;)</source>
        <translation>Giri/min</translation>
    </message>
    <message>
        <source>tr(&quot;Virtual Port&quot;)</source>
        <translation>Porta Virtuale</translation>
    </message>
    <message>
        <source>tr(&quot;Cerca la porta seriale ove e&apos; collegata la centralina e ne attiva/disattiva la connessione&quot;)</source>
        <translation>Cerca la connessione con ECU Vantor e ne attiva/disattiva il link</translation>
    </message>
    <message>
        <source>tr(&quot;     Ricerca Porta&quot;)</source>
        <translation>     Cerca ECU Vantor</translation>
    </message>
    <message>
        <source>tr(&quot;Attiva/Blocca l&apos;aggiornamento della velocita&apos; e dell&apos;analogica sonda temperatura&quot;)</source>
        <translation>Attiva/Blocca l&apos;aggiornamento dei giri</translation>
    </message>
    <message>
        <source>tr(&quot;Link OFF&quot;)</source>
        <translation>Monitor n.ro giri</translation>
    </message>
    <message>
        <source>tr(&quot;Invia la curva profilo alla centralina&quot;)</source>
        <translation>Invia la mappa a ECU Vantor</translation>
    </message>
    <message>
        <source>tr(&quot;Aggiorna ROM Centralina&quot;)</source>
        <translation>Invia Mappa a ECU Vantor</translation>
    </message>
    <message>
        <source>tr(&quot;Legge la curva profilo dalla centralina&quot;)</source>
        <translation>Legge la mappa iniezione da ECU Vantor</translation>
    </message>
    <message>
        <source>tr(&quot;Leggi ROM Centralina&quot;)</source>
        <translation>Leggi Mappa da ECU Vantor</translation>
    </message>
    <message>
        <source>tr(&quot;Livello Sensore&quot;)</source>
        <translation>Analog. Sonda</translation>
    </message>
    <message>
        <source>tr(&quot;Valore analogico sonda temperatura&quot;)</source>
        <translation>Valore analogico della sonda temperatura</translation>
    </message>
    <message>
        <source>tr(&quot;Imposta/Rimuove Modalita&apos; Banco di Prova&quot;)</source>
        <translation>Imposta/Rimuove la Modalità Banco Prova</translation>
    </message>
    <message>
        <source>tr(&quot;Banco OFF&quot;)</source>
        <translation>Banco OFF</translation>
    </message>
    <message>
        <source>tr(&quot;K Iniezione&quot;)</source>
        <translation>Divisore n.Giri</translation>
    </message>
    <message>
        <source>tr(&quot;Divisore numero di giri&quot;)</source>
        <translation>Fattore di divisione del numero di giri</translation>
    </message>
    <message>
        <source>tr(&quot;Profilo Piatto&quot;)</source>
        <translation>Val. Mappa Piatta</translation>
    </message>
    <message>
        <source>tr(&quot;Valore del profilo piatto&quot;)</source>
        <translation>Valore per la Mappa Piatta</translation>
    </message>
    <message>
        <source>tr(&quot;Genera un Profilo Piatto&quot;)</source>
        <translation>Genera una Mappa Piatta</translation>
    </message>
    <message>
        <source>tr(&quot;Genera Profilo Piatto&quot;)</source>
        <translation>Genera Mappa Piatta</translation>
    </message>
    <message>
        <source>tr(&quot;Profilo utilizzato&quot;)</source>
        <translation>Mappa utilizzata</translation>
    </message>
    <message>
        <source>tr(&quot;Carica la curva profilo da file&quot;) </source>
        <translation>Carica Mappa da file</translation>
    </message>
    <message>
        <source>tr(&quot;Carica File di Profilo&quot;)</source>
        <translation>Carica Mappa</translation>
    </message>
    <message>
        <source>tr(&quot;Salva la curva profilo su file&quot;)</source>
        <translation>Salva Mappa in uso su file</translation>
    </message>
    <message>
        <source>tr(&quot;Salva File di Profilo&quot;)</source>
        <translation>Salva Mappa</translation>
    </message>
    <message>
        <source>tr(&quot;Chiude l&apos;applicazione&quot;)</source>
        <translation>Chiude l&apos;applicazione</translation>
    </message>
    <message>
        <source>tr(&quot;Close&quot;)</source>
        <translation>Chiudi</translation>
    </message>
    <message>
        <source>Profili (*.prf)</source>
        <translation>Mappe (*.prf)</translation>
    </message>
    <message>
        <source>Apre File di Profilo</source>
        <translation>Apre file di Mappa</translation>
    </message>
    <message>
        <source>Salva File di Profilo</source>
        <translation>Salva file di Mappa</translation>
    </message>
    <message>
        <source>Mappa letta dalla centralina</source>
        <translation>Mappa letta dalla centralina</translation>
    </message>
    <message>
        <source>Mappa scritta nella centralina e verificata</source>
        <translation>Mappa scritta nella centralina e verificata</translation>
    </message>
    <message>
        <source>Mappa scritta nella centralina</source>
        <translation>Mappa scritta nella centralina</translation>
    </message>
    <message>
        <source>Comando non inviato alla centralina: la linea non lo ha trasmesso</source>
        <translation>Comando non inviato alla centralina: la linea non lo ha trasmesso</translation>
    </message>
    <message>
        <source>Scrittura non riuscita: la verifica ha trovato differenze</source>
        <translation>Scrittura non riuscita: la verifica ha trovato differenze</translation>
    </message>
    <message>
        <source>Lettura non riuscita</source>
        <translation>Lettura non riuscita</translation>
    </message>
    <message>
        <source>Scrittura non riuscita</source>
        <translation>Scrittura non riuscita</translation>
    </message>
    <message>
        <source>Mappa caricata da %1</source>
        <translation>Mappa caricata da %1</translation>
    </message>
    <message>
        <source>Mappa salvata in %1</source>
        <translation>Mappa salvata in %1</translation>
    </message>
    <message>
        <source>Mappa letta da %1 alle %2</source>
        <translation>Mappa letta da %1 alle %2</translation>
    </message>
    <message>
        <source>Modo banco attivo</source>
        <translation>Modo banco attivo</translation>
    </message>
    <message>
        <source>La centralina è in modo banco. Spegnere il modo banco prima di chiudere?</source>
        <translation>La centralina è in modo banco. Spegnere il modo banco prima di chiudere?</translation>
    </message>
    <message>
        <source>Spegni e chiudi</source>
        <translation>Spegni e chiudi</translation>
    </message>
    <message>
        <source>Chiudi senza spegnere</source>
        <translation>Chiudi senza spegnere</translation>
    </message>
    <message>
        <source>La centralina non ha confermato lo spegnimento del modo banco: potrebbe essere ancora in modo banco.</source>
        <translation>La centralina non ha confermato lo spegnimento del modo banco: potrebbe essere ancora in modo banco.</translation>
    </message>
    <message>
        <source>tr(&quot;Modifica&quot;)</source>
        <translation>Modifica</translation>
    </message>
    <message>
        <source>tr(&quot;Annulla&quot;)</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>tr(&quot;Ripeti&quot;)</source>
        <translation>Ripeti</translation>
    </message>
    <message>
        <source>tr(&quot;Estendi selezione a sinistra&quot;)</source>
        <translation>Estendi selezione a sinistra</translation>
    </message>
    <message>
        <source>tr(&quot;Estendi selezione a destra&quot;)</source>
        <translation>Estendi selezione a destra</translation>
    </message>
    <message>
        <source>tr(&quot;Aumenta di 1&quot;)</source>
        <translation>Aumenta di 1</translation>
    </message>
    <message>
        <source>tr(&quot;Diminuisci di 1&quot;)</source>
        <translation>Diminuisci di 1</translation>
    </message>
    <message>
        <source>tr(&quot;Imposta valore...&quot;)</source>
        <translation>Imposta valore...</translation>
    </message>
    <message>
        <source>tr(&quot;Scala in percentuale...&quot;)</source>
        <translation>Scala in percentuale...</translation>
    </message>
    <message>
        <source>tr(&quot;Interpola&quot;)</source>
        <translation>Interpola</translation>
    </message>
    <message>
        <source>tr(&quot;Leviga&quot;)</source>
        <translation>Leviga</translation>
    </message>
    <message>
        <source>tr(&quot;Confronta con file...&quot;)</source>
        <translation>Confronta con file...</translation>
    </message>
    <message>
        <source>tr(&quot;Ripristina dal riferimento&quot;)</source>
        <translation>Ripristina dal riferimento</translation>
    </message>
    <message>
        <source>Impossibile aprire il file %1</source>
        <translation>Impossibile aprire il file %1</translation>
    </message>
    <message>
        <source>File di profilo</source>
        <translation>File di profilo</translation>
    </message>
    <message>
        <source>Mappa modificata</source>
        <translation>Mappa modificata</translation>
    </message>
    <message>
        <source>La mappa mostrata è stata modificata e non è stata salvata. Salvarla prima di continuare?</source>
        <translation>La mappa mostrata è stata modificata e non è stata salvata. Salvarla prima di continuare?</translation>
    </message>
    <message>
        <source>%1 giri/min</source>
        <translation>%1 giri/min</translation>
    </message>
    <message>
        <source>nome del profilo</source>
        <translation>nome del profilo</translation>
    </message>
    <message>
        <source>La verifica della scrittura ha trovato valori diversi da quelli inviati (%1). La mappa su ECU Vantor non è quella mostrata.</source>
        <translation>La verifica della scrittura ha trovato valori diversi da quelli inviati (%1). La mappa su ECU Vantor non è quella mostrata.</translation>
    </message>
    <message>
        <source>tr(&quot;Apri cartella backup&quot;)</source>
        <translation>Apri cartella backup</translation>
    </message>
    <message>
        <source>Impossibile salvare la copia di sicurezza della mappa letta in %1: %2</source>
        <translation>Impossibile salvare la copia di sicurezza della mappa letta in %1: %2</translation>
    </message>
    <message>
        <source>La mappa è in scrittura su ECU Vantor: chiudendo ora la ECU resterebbe scritta a metà. Chiudere comunque?</source>
        <translation>La mappa è in scrittura su ECU Vantor: chiudendo ora la ECU resterebbe scritta a metà. Chiudere comunque?</translation>
    </message>
    <message>
        <source>Strumenti</source>
        <translation>Strumenti</translation>
    </message>
</context>
<context>
    <name>CProfileDocument</name>
    <message>
        <source>Impossibile aprire il file %1: %2</source>
        <translation>Impossibile aprire il file %1: %2</translation>
    </message>
    <message>
        <source>Il file %1 è lungo %2 byte, un profilo ne ha %3: il file non è stato caricato.</source>
        <translation>Il file %1 è lungo %2 byte, un profilo ne ha %3: il file non è stato caricato.</translation>
    </message>
    <message>
        <source>Impossibile leggere il file %1: %2</source>
        <translation>Impossibile leggere il file %1: %2</translation>
    </message>
    <message>
        <source>Impossibile scrivere il file %1: %2</source>
        <translation>Impossibile scrivere il file %1: %2</translation>
    </message>
    <message>
        <source>La mappa non si può cambiare mentre ECU Vantor è in lettura o scrittura.</source>
        <translation>La mappa non si può cambiare mentre ECU Vantor è in lettura o scrittura.</translation>
    </message>
    <message>
        <source>ECU, letta alle %1</source>
        <translation>ECU, letta alle %1</translation>
    </message>
</context>
<context>
    <name>CProfileEditor</name>
    <message>
        <source>%1 giri/min: valore %2</source>
        <translation>%1 giri/min: valore %2</translation>
    </message>
    <message>
        <source>riferimento %1, differenza %2</source>
        <translation>riferimento %1, differenza %2</translation>
    </message>
    <message>
        <source>selezione da %1 a %2 giri/min</source>
        <translation>selezione da %1 a %2 giri/min</translation>
    </message>
    <message>
        <source>Nessun punto selezionato</source>
        <translation>Nessun punto selezionato</translation>
    </message>
    <message>
        <source>Imposta valore</source>
        <translation>Imposta valore</translation>
    </message>
    <message>
        <source>Valore da %1 a %2:</source>
        <translation>Valore da %1 a %2:</translation>
    </message>
    <message>
        <source>Scala in percentuale</source>
        <translation>Scala in percentuale</translation>
    </message>
    <message>
        <source>Profili (*.prf)</source>
        <translation>Mappe (*.prf)</translation>
    </message>
    <message>
        <source>Confronta con file</source>
        <translation>Confronta con file</translation>
    </message>
    <message>
        <source>Variazione in percento (da %1 a +%2):</source>
        <translation>Variazione in percento (da %1 a +%2):</translation>
    </message>
    <message>
        <source>Punti limitati all&apos;intervallo da %1 a %2: %3</source>
        <translation>Punti limitati all&apos;intervallo da %1 a %2: %3</translation>
    </message>
</context>
<context>
    <name>frmLogin</name>
    <message>
        <source>tr(&quot;Accesso modo esperto&quot;)</source>
        <translation>Modalità esperto</translation>
    </message>
    <message>
        <source>tr(&quot;Digitare la password&quot;)</source>
        <translation>Digitare la password</translation>
    </message>
    <message>
        <source>tr(&quot;Conferma&quot;)</source>
        <translation>Conferma</translation>
    </message>
</context>
<context>
    <name>frmAbout</name>
    <message>
        <source>tr(&quot;Informazioni&quot;)</source>
        <translation>Informazioni</translation>
    </message>
    <message>
        <source>tr(&quot;Chiudi&quot;)</source>
        <translation>Chiudi</translation>
    </message>
</context>
<context>
    <name>frmRicercaPorta</name>
    <message>
        <source>tr(&quot;Ricerca porta di collegamento con la centralina&quot;)</source>
        <translation>Cerca ECU Vantor</translation>
    </message>
    <message>
        <source>tr(&quot;Porte rilevate nel sistema&quot;)</source>
        <translation>Porte seriali rilevate nel sistema</translation>
    </message>
    <message>
        <source>tr(&quot;Chiudi&quot;)</source>
        <translation>Chiudi</translation>
    </message>
</context>
<context>
    <name>CCommandLine</name>
    <message>
        <source>Mostra questo aiuto ed esce.</source>
        <translation>Mostra questo aiuto ed esce.</translation>
    </message>
    <message>
        <source>Mostra la versione del programma ed esce.</source>
        <translation>Mostra la versione del programma ed esce.</translation>
    </message>
    <message>
        <source>Lingua dell&apos;interfaccia per questa esecuzione soltanto; l&apos;impostazione salvata resta com&apos;era.</source>
        <translation>Lingua dell&apos;interfaccia per questa esecuzione soltanto; l&apos;impostazione salvata resta com&apos;era.</translation>
    </message>
    <message>
        <source>NOME</source>
        <translation>NOME</translation>
    </message>
    <message>
        <source>All&apos;avvio prova la porta NOME; se vi risponde la centralina, si collega e ne legge la mappa.</source>
        <translation>All&apos;avvio prova la porta NOME; se vi risponde la centralina, si collega e ne legge la mappa.</translation>
    </message>
    <message>
        <source>CARTELLA</source>
        <translation>CARTELLA</translation>
    </message>
    <message>
        <source>Cartella in cui si aprono le finestre di caricamento e salvataggio delle mappe.</source>
        <translation>Cartella in cui si aprono le finestre di caricamento e salvataggio delle mappe.</translation>
    </message>
    <message>
        <source>Uso: %1 [opzioni]</source>
        <translation>Uso: %1 [opzioni]</translation>
    </message>
    <message>
        <source>Strumento di taratura per la centralina d&apos;iniezione ECU Vantor.</source>
        <translation>Strumento di taratura per la centralina d&apos;iniezione ECU Vantor.</translation>
    </message>
    <message>
        <source>Opzioni:</source>
        <translation>Opzioni:</translation>
    </message>
    <message>
        <source>opzione sconosciuta: %1</source>
        <translation>opzione sconosciuta: %1</translation>
    </message>
    <message>
        <source>manca il valore dell&apos;opzione %1</source>
        <translation>manca il valore dell&apos;opzione %1</translation>
    </message>
    <message>
        <source>lingua non valida: &quot;%1&quot; (ammesse: it, en)</source>
        <translation>lingua non valida: &quot;%1&quot; (ammesse: it, en)</translation>
    </message>
    <message>
        <source>porta non valida: &quot;%1&quot; (un nome come ttyUSB0 o COM3, o il percorso del dispositivo)</source>
        <translation>porta non valida: &quot;%1&quot; (un nome come ttyUSB0 o COM3, o il percorso del dispositivo)</translation>
    </message>
    <message>
        <source>cartella dei profili non utilizzabile: &quot;%1&quot;</source>
        <translation>cartella dei profili non utilizzabile: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>argomento inatteso: %1</source>
        <translation>argomento inatteso: %1</translation>
    </message>
    <message>
        <source>riga di comando non valida: %1</source>
        <translation>riga di comando non valida: %1</translation>
    </message>
    <message>
        <source>Usare &quot;%1 --help&quot; per l&apos;elenco delle opzioni.</source>
        <translation>Usare &quot;%1 --help&quot; per l&apos;elenco delle opzioni.</translation>
    </message>
</context>
<context>
    <name>CProfilePlot</name>
    <message>
        <source>Riferimento</source>
        <translation>Riferimento</translation>
    </message>
    <message>
        <source>Riferimento: %1</source>
        <translation>Riferimento: %1</translation>
    </message>
</context>
<context>
    <name>CProfileTableModel</name>
    <message>
        <source>Giri/min</source>
        <translation>Giri/min</translation>
    </message>
    <message>
        <source>Valore</source>
        <translation>Valore</translation>
    </message>
    <message>
        <source>Riferimento</source>
        <translation>Riferimento</translation>
    </message>
    <message>
        <source>Differenza</source>
        <translation>Differenza</translation>
    </message>
    <message>
        <source>riga %1, colonna %2: %3</source>
        <translation>riga %1, colonna %2: %3</translation>
    </message>
    <message>
        <source>cella vuota</source>
        <translation>cella vuota</translation>
    </message>
    <message>
        <source>&quot;%1&quot; non è un numero intero</source>
        <translation>&quot;%1&quot; non è un numero intero</translation>
    </message>
    <message>
        <source>%1 è fuori dall&apos;intervallo da %2 a %3</source>
        <translation>%1 è fuori dall&apos;intervallo da %2 a %3</translation>
    </message>
    <message>
        <source>incollare una sola colonna o una sola riga</source>
        <translation>incollare una sola colonna o una sola riga</translation>
    </message>
    <message>
        <source>oltre l&apos;ultimo punto: si possono incollare al massimo %1 valori</source>
        <translation>oltre l&apos;ultimo punto: si possono incollare al massimo %1 valori</translation>
    </message>
    <message>
        <source>Niente da incollare</source>
        <translation>Niente da incollare</translation>
    </message>
    <message>
        <source>Valore rifiutato: %1</source>
        <translation>Valore rifiutato: %1</translation>
    </message>
    <message>
        <source>Selezionare il punto da cui incollare</source>
        <translation>Selezionare il punto da cui incollare</translation>
    </message>
    <message>
        <source>Incollato. Valori cambiati: %1 di %2.</source>
        <translation>Incollato. Valori cambiati: %1 di %2.</translation>
    </message>
    <message>
        <source>Rif.</source>
        <translation>Rif.</translation>
    </message>
    <message>
        <source>Diff.</source>
        <translation>Diff.</translation>
    </message>
    <message>
        <source>Tempo %</source>
        <translation>Tempo %</translation>
    </message>
    <message>
        <source>Quota del tempo passato nella cella (registrazione o collegamento)</source>
        <translation>Quota del tempo passato nella cella (registrazione o collegamento)</translation>
    </message>
</context>
<context>
    <name>CProfileTableDock</name>
    <message>
        <source>Tabella mappa</source>
        <translation>Tabella mappa</translation>
    </message>
</context>
<context>
    <name>CCellTimeView</name>
    <message>
        <source>Tempo nelle celle</source>
        <translation>Tempo nelle celle</translation>
    </message>
    <message>
        <source>Mostra sotto la curva quanto tempo il motore è rimasto in ogni cella</source>
        <translation>Mostra sotto la curva quanto tempo il motore è rimasto in ogni cella</translation>
    </message>
    <message>
        <source>Azzera tempo nelle celle</source>
        <translation>Azzera tempo nelle celle</translation>
    </message>
    <message>
        <source>Tempo nelle celle, in % del tempo contato</source>
        <translation>Tempo nelle celle, in % del tempo contato</translation>
    </message>
</context>
<context>
    <name>CProfileExporter</name>
    <message>
        <source>Impossibile scrivere il file %1: %2</source>
        <translation>Impossibile scrivere il file %1: %2</translation>
    </message>
    <message>
        <source>Il formato di %1 non è riconosciuto: il nome deve finire con .png o .pdf.</source>
        <translation>Il formato di %1 non è riconosciuto: il nome deve finire con .png o .pdf.</translation>
    </message>
    <message>
        <source>Esporta grafico...</source>
        <translation>Esporta grafico...</translation>
    </message>
    <message>
        <source>Esporta mappa CSV...</source>
        <translation>Esporta mappa CSV...</translation>
    </message>
    <message>
        <source>mappa</source>
        <translation>mappa</translation>
    </message>
    <message>
        <source>Esporta grafico</source>
        <translation>Esporta grafico</translation>
    </message>
    <message>
        <source>Immagine PNG (*.png)</source>
        <translation>Immagine PNG (*.png)</translation>
    </message>
    <message>
        <source>Documento PDF (*.pdf)</source>
        <translation>Documento PDF (*.pdf)</translation>
    </message>
    <message>
        <source>Grafico esportato in %1</source>
        <translation>Grafico esportato in %1</translation>
    </message>
    <message>
        <source>Esporta mappa CSV</source>
        <translation>Esporta mappa CSV</translation>
    </message>
    <message>
        <source>File CSV (*.csv)</source>
        <translation>File CSV (*.csv)</translation>
    </message>
    <message>
        <source>Mappa esportata in %1</source>
        <translation>Mappa esportata in %1</translation>
    </message>
    <message>
        <source>senza nome</source>
        <translation>senza nome</translation>
    </message>
    <message>
        <source>Mappa: %1</source>
        <translation>Mappa: %1</translation>
    </message>
</context>
<context>
    <name>CRecentFiles</name>
    <message>
        <source>Il file %1 non esiste più ed è stato tolto dai file recenti.</source>
        <translation>Il file %1 non esiste più ed è stato tolto dai file recenti.</translation>
    </message>
    <message>
        <source>File recenti</source>
        <translation>File recenti</translation>
    </message>
    <message>
        <source>Nessun file recente</source>
        <translation>Nessun file recente</translation>
    </message>
</context>
<context>
    <name>CDataLog</name>
    <message>
        <source>Riga %1: %2 campi invece di %3.</source>
        <translation>Riga %1: %2 campi invece di %3.</translation>
    </message>
    <message>
        <source>Riga %1: il campo %2 (&quot;%3&quot;) non è un numero intero.</source>
        <translation>Riga %1: il campo %2 (&quot;%3&quot;) non è un numero intero.</translation>
    </message>
    <message>
        <source>Riga %1: il campo %2 vale %3, fuori dall&apos;intervallo da %4 a %5.</source>
        <translation>Riga %1: il campo %2 vale %3, fuori dall&apos;intervallo da %4 a %5.</translation>
    </message>
    <message>
        <source>Riga %1: il tempo torna indietro (%2 ms dopo %3 ms).</source>
        <translation>Riga %1: il tempo torna indietro (%2 ms dopo %3 ms).</translation>
    </message>
    <message>
        <source>Riga %1: l&apos;intestazione deve essere &quot;%2&quot;.</source>
        <translation>Riga %1: l&apos;intestazione deve essere &quot;%2&quot;.</translation>
    </message>
    <message>
        <source>Impossibile leggere il file %1: %2</source>
        <translation>Impossibile leggere il file %1: %2</translation>
    </message>
    <message>
        <source>Il file %1 è troppo grande per essere un log.</source>
        <translation>Il file %1 è troppo grande per essere un log.</translation>
    </message>
    <message>
        <source>Il file è vuoto.</source>
        <translation>Il file è vuoto.</translation>
    </message>
</context>
<context>
    <name>CDataLogRecorder</name>
    <message>
        <source>Impossibile scrivere il file %1: %2. La registrazione è stata interrotta.</source>
        <translation>Impossibile scrivere il file %1: %2. La registrazione è stata interrotta.</translation>
    </message>
    <message>
        <source>Impossibile creare la cartella %1.</source>
        <translation>Impossibile creare la cartella %1.</translation>
    </message>
    <message>
        <source>Impossibile creare il file %1: %2</source>
        <translation>Impossibile creare il file %1: %2</translation>
    </message>
</context>
<context>
    <name>CStripChart</name>
    <message>
        <source>Giri/min</source>
        <translation>Giri/min</translation>
    </message>
    <message>
        <source>Sonda (ADC)</source>
        <translation>Sonda (ADC)</translation>
    </message>
    <message>
        <source>Tempo (s)</source>
        <translation>Tempo (s)</translation>
    </message>
    <message>
        <source>%1
%2 giri/min
sonda %3</source>
        <translation>%1
%2 giri/min
sonda %3</translation>
    </message>
</context>
<context>
    <name>CDataLogDock</name>
    <message>
        <source>Registrazione dati</source>
        <translation>Registrazione dati</translation>
    </message>
    <message>
        <source>Registra log</source>
        <translation>Registra log</translation>
    </message>
    <message>
        <source>Apri log...</source>
        <translation>Apri log...</translation>
    </message>
    <message>
        <source>Registrazione in corso</source>
        <translation>Registrazione in corso</translation>
    </message>
    <message>
        <source>Apri log</source>
        <translation>Apri log</translation>
    </message>
    <message>
        <source>Impossibile aprire il log %1. %2</source>
        <translation>Impossibile aprire il log %1. %2</translation>
    </message>
    <message>
        <source>Log (*.csv)</source>
        <translation>Log (*.csv)</translation>
    </message>
    <message>
        <source>Pausa</source>
        <translation>Pausa</translation>
    </message>
    <message>
        <source>Riproduci</source>
        <translation>Riproduci</translation>
    </message>
    <message>
        <source>Il log è vuoto: non ha righe dopo l'intestazione.</source>
        <translation>Il log è vuoto: non ha righe dopo l'intestazione.</translation>
    </message>
</context>
<context>
    <name>CButtonActions</name>
    <message>
        <source>Centralina</source>
        <translation>Centralina</translation>
    </message>
</context>
<context>
    <name>CWholeNumberDialog</name>
    <message>
        <source>Scrivere un numero intero da %1 a %2</source>
        <translation>Scrivere un numero intero da %1 a %2</translation>
    </message>
</context>
<context>
    <name>CCli</name>
    <message>
        <source>la porta: HID (la centralina su USB), un nome come ttyUSB0 o COM3, il percorso del dispositivo, o il nome di una porta virtuale come ecu-sim. Senza --port: la centralina su USB se è collegata, altrimenti l&apos;unica porta candidata (vedere ports).</source>
        <translation>la porta: HID (la centralina su USB), un nome come ttyUSB0 o COM3, il percorso del dispositivo, o il nome di una porta virtuale come ecu-sim. Senza --port: la centralina su USB se è collegata, altrimenti l&apos;unica porta candidata (vedere ports).</translation>
    </message>
    <message>
        <source>la variante della centralina, che dà la scala dei giri: 2 cilindri (fino a 12000 giri/min, il predefinito) o 4 (fino a 17000 giri/min).</source>
        <translation>la variante della centralina, che dà la scala dei giri: 2 cilindri (fino a 12000 giri/min, il predefinito) o 4 (fino a 17000 giri/min).</translation>
    </message>
    <message>
        <source>Codici di uscita:</source>
        <translation>Codici di uscita:</translation>
    </message>
    <message>
        <source>fatto</source>
        <translation>fatto</translation>
    </message>
    <message>
        <source>errore di comunicazione con la centralina</source>
        <translation>errore di comunicazione con la centralina</translation>
    </message>
    <message>
        <source>uso errato: opzioni o argomenti sbagliati, più porte candidate senza --port</source>
        <translation>uso errato: opzioni o argomenti sbagliati, più porte candidate senza --port</translation>
    </message>
    <message>
        <source>centralina non trovata</source>
        <translation>centralina non trovata</translation>
    </message>
    <message>
        <source>valori diversi: la verifica dopo la scrittura, o diff di due mappe diverse</source>
        <translation>valori diversi: la verifica dopo la scrittura, o diff di due mappe diverse</translation>
    </message>
    <message>
        <source>un file che non si può leggere o scrivere (con il motivo)</source>
        <translation>un file che non si può leggere o scrivere (con il motivo)</translation>
    </message>
    <message>
        <source>interrotto con Ctrl+C</source>
        <translation>interrotto con Ctrl+C</translation>
    </message>
    <message>
        <source>Opzioni globali (anche dopo il sottocomando):</source>
        <translation>Opzioni globali (anche dopo il sottocomando):</translation>
    </message>
    <message>
        <source>risultato leggibile da un programma: un documento JSON su standard output, anche per gli errori (con il codice di uscita e il messaggio)</source>
        <translation>risultato leggibile da un programma: un documento JSON su standard output, anche per gli errori (con il codice di uscita e il messaggio)</translation>
    </message>
    <message>
        <source>lingua dei messaggi; senza, quella del sistema (LC_ALL, LC_MESSAGES, LANG)</source>
        <translation>lingua dei messaggi; senza, quella del sistema (LC_ALL, LC_MESSAGES, LANG)</translation>
    </message>
    <message>
        <source>questo aiuto; &quot;%1 SOTTOCOMANDO --help&quot; l&apos;aiuto del sottocomando</source>
        <translation>questo aiuto; &quot;%1 SOTTOCOMANDO --help&quot; l&apos;aiuto del sottocomando</translation>
    </message>
    <message>
        <source>la versione del programma</source>
        <translation>la versione del programma</translation>
    </message>
    <message>
        <source>Uso: %1</source>
        <translation>Uso: %1</translation>
    </message>
    <message>
        <source>opzioni globali</source>
        <translation>opzioni globali</translation>
    </message>
    <message>
        <source>SOTTOCOMANDO [opzioni]</source>
        <translation>SOTTOCOMANDO [opzioni]</translation>
    </message>
    <message>
        <source>Le porte candidate: la centralina su USB (HID) se è collegata, le porte seriali che elenca la ricerca della porta e i collegamenti della cartella delle porte virtuali (%1).</source>
        <translation>Le porte candidate: la centralina su USB (HID) se è collegata, le porte seriali che elenca la ricerca della porta e i collegamenti della cartella delle porte virtuali (%1).</translation>
    </message>
    <message>
        <source>L&apos;identità della centralina: versione hardware, cilindri, versione del firmware.</source>
        <translation>L&apos;identità della centralina: versione hardware, cilindri, versione del firmware.</translation>
    </message>
    <message>
        <source>Legge la mappa della centralina (41 valori e K) nel file FILE (.prf, sostituito se esiste) e, come la finestra dopo ogni lettura, ne salva una copia di sicurezza nella cartella backup della cartella delle mappe.</source>
        <translation>Legge la mappa della centralina (41 valori e K) nel file FILE (.prf, sostituito se esiste) e, come la finestra dopo ogni lettura, ne salva una copia di sicurezza nella cartella backup della cartella delle mappe.</translation>
    </message>
    <message>
        <source>La mappa del file FILE come tabella di punti, giri e valori, e K.</source>
        <translation>La mappa del file FILE come tabella di punti, giri e valori, e K.</translation>
    </message>
    <message>
        <source>I punti in cui le mappe A e B differiscono (giri, A, B, differenza B - A) e K quando differisce. Esce con 0 se le mappe sono uguali, con 4 se differiscono.</source>
        <translation>I punti in cui le mappe A e B differiscono (giri, A, B, differenza B - A) e K quando differisce. Esce con 0 se le mappe sono uguali, con 4 se differiscono.</translation>
    </message>
    <message>
        <source>le porte candidate: centralina su USB, porte seriali e virtuali</source>
        <translation>le porte candidate: centralina su USB, porte seriali e virtuali</translation>
    </message>
    <message>
        <source>l&apos;identità della centralina (hardware, cilindri, firmware)</source>
        <translation>l&apos;identità della centralina (hardware, cilindri, firmware)</translation>
    </message>
    <message>
        <source>legge la mappa (41 valori e K) in FILE, con la copia di sicurezza</source>
        <translation>legge la mappa (41 valori e K) in FILE, con la copia di sicurezza</translation>
    </message>
    <message>
        <source>scrive la mappa di FILE nella centralina, poi la verifica</source>
        <translation>scrive la mappa di FILE nella centralina, poi la verifica</translation>
    </message>
    <message>
        <source>il collegamento in tempo reale, a richiesta in un file CSV</source>
        <translation>il collegamento in tempo reale, a richiesta in un file CSV</translation>
    </message>
    <message>
        <source>una mappa come tabella di giri e valori, e K</source>
        <translation>una mappa come tabella di giri e valori, e K</translation>
    </message>
    <message>
        <source>i punti in cui due mappe differiscono</source>
        <translation>i punti in cui due mappe differiscono</translation>
    </message>
    <message>
        <source>il file in cui salvare la mappa letta</source>
        <translation>il file in cui salvare la mappa letta</translation>
    </message>
    <message>
        <source>senza la verifica dopo la scrittura (che rilegge la centralina)</source>
        <translation>senza la verifica dopo la scrittura (che rilegge la centralina)</translation>
    </message>
    <message>
        <source>si ferma dopo N secondi (senza: fino a Ctrl+C)</source>
        <translation>si ferma dopo N secondi (senza: fino a Ctrl+C)</translation>
    </message>
    <message>
        <source>ogni lettura nel file, nel formato dei log della finestra</source>
        <translation>ogni lettura nel file, nel formato dei log della finestra</translation>
    </message>
    <message>
        <source>sottocomando sconosciuto: %1</source>
        <translation>sottocomando sconosciuto: %1</translation>
    </message>
    <message>
        <source>opzione sconosciuta: %1</source>
        <translation>opzione sconosciuta: %1</translation>
    </message>
    <message>
        <source>manca il valore dell&apos;opzione %1</source>
        <translation>manca il valore dell&apos;opzione %1</translation>
    </message>
    <message>
        <source>l&apos;opzione %1 è data più volte</source>
        <translation>l&apos;opzione %1 è data più volte</translation>
    </message>
    <message>
        <source>l&apos;opzione %1 non vuole un valore</source>
        <translation>l&apos;opzione %1 non vuole un valore</translation>
    </message>
    <message>
        <source>lingua non valida: &quot;%1&quot; (ammesse: it, en)</source>
        <translation>lingua non valida: &quot;%1&quot; (ammesse: it, en)</translation>
    </message>
    <message>
        <source>l&apos;opzione %1 vale solo con un sottocomando</source>
        <translation>l&apos;opzione %1 vale solo con un sottocomando</translation>
    </message>
    <message>
        <source>l&apos;opzione %1 non vale per %2</source>
        <translation>l&apos;opzione %1 non vale per %2</translation>
    </message>
    <message>
        <source>manca il sottocomando</source>
        <translation>manca il sottocomando</translation>
    </message>
    <message>
        <source>argomento inatteso: %1</source>
        <translation>argomento inatteso: %1</translation>
    </message>
    <message>
        <source>diff vuole due file di mappa: A e B</source>
        <translation>diff vuole due file di mappa: A e B</translation>
    </message>
    <message>
        <source>manca il file della mappa</source>
        <translation>manca il file della mappa</translation>
    </message>
    <message>
        <source>manca -o FILE, il file in cui salvare la mappa letta</source>
        <translation>manca -o FILE, il file in cui salvare la mappa letta</translation>
    </message>
    <message>
        <source>--seconds vuole un numero intero di secondi da 1 a %1, non &quot;%2&quot;</source>
        <translation>--seconds vuole un numero intero di secondi da 1 a %1, non &quot;%2&quot;</translation>
    </message>
    <message>
        <source>--cylinders vuole 2 o 4, non &quot;%1&quot;</source>
        <translation>--cylinders vuole 2 o 4, non &quot;%1&quot;</translation>
    </message>
    <message>
        <source>porta non valida: &quot;%1&quot; (HID, un nome come ttyUSB0 o COM3, il percorso del dispositivo, o il nome di una porta virtuale)</source>
        <translation>porta non valida: &quot;%1&quot; (HID, un nome come ttyUSB0 o COM3, il percorso del dispositivo, o il nome di una porta virtuale)</translation>
    </message>
    <message>
        <source>Legge, scrive, verifica e confronta le mappe della centralina ECU Vantor senza finestra.</source>
        <translation>Legge, scrive, verifica e confronta le mappe della centralina ECU Vantor senza finestra.</translation>
    </message>
    <message>
        <source>Sottocomandi:</source>
        <translation>Sottocomandi:</translation>
    </message>
    <message>
        <source>Senza --port: la centralina su USB se è collegata, altrimenti l&apos;unica porta candidata; con più porte candidate il programma le elenca ed esce con 2.</source>
        <translation>Senza --port: la centralina su USB se è collegata, altrimenti l&apos;unica porta candidata; con più porte candidate il programma le elenca ed esce con 2.</translation>
    </message>
    <message>
        <source>Opzioni:</source>
        <translation>Opzioni:</translation>
    </message>
    <message>
        <source>Usare &quot;%1&quot; per l&apos;aiuto.</source>
        <translation>Usare &quot;%1&quot; per l&apos;aiuto.</translation>
    </message>
    <message>
        <source>ci sono più porte candidate; sceglierne una con --port:</source>
        <translation>ci sono più porte candidate; sceglierne una con --port:</translation>
    </message>
    <message>
        <source>centralina non trovata: nessuna centralina su USB e nessuna porta seriale o virtuale</source>
        <translation>centralina non trovata: nessuna centralina su USB e nessuna porta seriale o virtuale</translation>
    </message>
    <message>
        <source>centralina su USB (HID)</source>
        <translation>centralina su USB (HID)</translation>
    </message>
    <message>
        <source>porta seriale</source>
        <translation>porta seriale</translation>
    </message>
    <message>
        <source>porta virtuale &quot;%1&quot;</source>
        <translation>porta virtuale &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Nessuna porta candidata: nessuna centralina su USB e nessuna porta seriale o virtuale.</source>
        <translation>Nessuna porta candidata: nessuna centralina su USB e nessuna porta seriale o virtuale.</translation>
    </message>
    <message>
        <source>centralina a %1 cilindri, da 0 a %2 giri/min</source>
        <translation>centralina a %1 cilindri, da 0 a %2 giri/min</translation>
    </message>
    <message>
        <source>impossibile aprire il file %1: %2</source>
        <translation>impossibile aprire il file %1: %2</translation>
    </message>
    <message>
        <source>il file %1 è lungo %2 byte, un profilo ne ha %3</source>
        <translation>il file %1 è lungo %2 byte, un profilo ne ha %3</translation>
    </message>
    <message>
        <source>impossibile leggere il file %1: %2</source>
        <translation>impossibile leggere il file %1: %2</translation>
    </message>
    <message>
        <source>è una cartella</source>
        <translation>è una cartella</translation>
    </message>
    <message>
        <source>impossibile scrivere il file %1: %2</source>
        <translation>impossibile scrivere il file %1: %2</translation>
    </message>
    <message>
        <source>Punto</source>
        <translation>Punto</translation>
    </message>
    <message>
        <source>Giri/min</source>
        <translation>Giri/min</translation>
    </message>
    <message>
        <source>Valore</source>
        <translation>Valore</translation>
    </message>
    <message>
        <source>Mappa %1 (%2)</source>
        <translation>Mappa %1 (%2)</translation>
    </message>
    <message>
        <source>Le mappe %1 e %2 sono uguali (41 punti e K).</source>
        <translation>Le mappe %1 e %2 sono uguali (41 punti e K).</translation>
    </message>
    <message numerus="yes">
        <source>%n punti diversi su 41 (%1)</source>
        <translation>
            <numerusform>%n punto diverso su 41 (%1)</numerusform>
            <numerusform>%n punti diversi su 41 (%1)</numerusform>
        </translation>
    </message>
    <message>
        <source>Differenza</source>
        <translation>Differenza</translation>
    </message>
    <message>
        <source>K: %1 in A, %2 in B</source>
        <translation>K: %1 in A, %2 in B</translation>
    </message>
    <message>
        <source>Legge prima la centralina, come ogni connessione (con la copia di sicurezza), poi scrive la mappa del file FILE con le regole della finestra (dall&apos;hardware 20 il nome del file viene salvato nella centralina; K è inviato come lo invia la finestra, quando è diverso da quello della centralina), poi la rilegge e confronta i valori. Ctrl+C ferma la scrittura alla fine di un frame e dice quali indirizzi sono stati scritti.</source>
        <translation>Legge prima la centralina, come ogni connessione (con la copia di sicurezza), poi scrive la mappa del file FILE con le regole della finestra (dall&apos;hardware 20 il nome del file viene salvato nella centralina; K è inviato come lo invia la finestra, quando è diverso da quello della centralina), poi la rilegge e confronta i valori. Ctrl+C ferma la scrittura alla fine di un frame e dice quali indirizzi sono stati scritti.</translation>
    </message>
    <message>
        <source>Il collegamento in tempo reale, dopo la lettura con cui comincia ogni connessione: una riga per lettura (tempo, giri, cella, valore, sonda), al massimo 10 al secondo su un terminale, tutte in un file o una pipe. Si ferma dopo --seconds o con Ctrl+C (uscita 130); le letture restano nel file CSV.</source>
        <translation>Il collegamento in tempo reale, dopo la lettura con cui comincia ogni connessione: una riga per lettura (tempo, giri, cella, valore, sonda), al massimo 10 al secondo su un terminale, tutte in un file o una pipe. Si ferma dopo --seconds o con Ctrl+C (uscita 130); le letture restano nel file CSV.</translation>
    </message>
    <message>
        <source>impossibile salvare la copia di sicurezza %1: %2</source>
        <translation>impossibile salvare la copia di sicurezza %1: %2</translation>
    </message>
    <message>
        <source>Comando non inviato alla centralina: la linea non lo ha trasmesso.</source>
        <translation>Comando non inviato alla centralina: la linea non lo ha trasmesso.</translation>
    </message>
    <message>
        <source>interrotto durante la ricerca della centralina: nulla è stato inviato alla centralina oltre alla richiesta d&apos;identità</source>
        <translation>interrotto durante la ricerca della centralina: nulla è stato inviato alla centralina oltre alla richiesta d&apos;identità</translation>
    </message>
    <message>
        <source>centralina non trovata: la porta %1 non si può aprire (non esiste, è in uso o mancano i permessi)</source>
        <translation>centralina non trovata: la porta %1 non si può aprire (non esiste, è in uso o mancano i permessi)</translation>
    </message>
    <message>
        <source>centralina non trovata: nessuna centralina su USB, o non si può aprire (permessi: vedere la regola udev nel README)</source>
        <translation>centralina non trovata: nessuna centralina su USB, o non si può aprire (permessi: vedere la regola udev nel README)</translation>
    </message>
    <message>
        <source>centralina non trovata: su %1 risponde un dispositivo che non è la centralina</source>
        <translation>centralina non trovata: su %1 risponde un dispositivo che non è la centralina</translation>
    </message>
    <message>
        <source>centralina non trovata: nessuna risposta su %1</source>
        <translation>centralina non trovata: nessuna risposta su %1</translation>
    </message>
    <message>
        <source>%1 su %2</source>
        <translation>%1 su %2</translation>
    </message>
    <message>
        <source>Lettura</source>
        <translation>Lettura</translation>
    </message>
    <message>
        <source>interrotto durante la lettura: nulla è stato scritto</source>
        <translation>interrotto durante la lettura: nulla è stato scritto</translation>
    </message>
    <message>
        <source>errore di comunicazione con la centralina: non risponde più</source>
        <translation>errore di comunicazione con la centralina: non risponde più</translation>
    </message>
    <message>
        <source>errore di comunicazione con la centralina durante la lettura</source>
        <translation>errore di comunicazione con la centralina durante la lettura</translation>
    </message>
    <message>
        <source>errore di comunicazione con la centralina durante la scrittura</source>
        <translation>errore di comunicazione con la centralina durante la scrittura</translation>
    </message>
    <message>
        <source>Copia di sicurezza: %1</source>
        <translation>Copia di sicurezza: %1</translation>
    </message>
    <message>
        <source>modo banco acceso</source>
        <translation>modo banco acceso</translation>
    </message>
    <message>
        <source>modo banco spento</source>
        <translation>modo banco spento</translation>
    </message>
    <message>
        <source>nessun indirizzo confermato dalla centralina (l&apos;indirizzo 0 potrebbe essere stato scritto)</source>
        <translation>nessun indirizzo confermato dalla centralina (l&apos;indirizzo 0 potrebbe essere stato scritto)</translation>
    </message>
    <message>
        <source>tutti i %1 indirizzi scritti</source>
        <translation>tutti i %1 indirizzi scritti</translation>
    </message>
    <message>
        <source>scritti e confermati gli indirizzi da 0 a %1 (%2 su %3; anche l&apos;indirizzo %4 potrebbe essere stato scritto): la centralina ha una mappa scritta a metà, scriverla di nuovo</source>
        <translation>scritti e confermati gli indirizzi da 0 a %1 (%2 su %3; anche l&apos;indirizzo %4 potrebbe essere stato scritto): la centralina ha una mappa scritta a metà, scriverla di nuovo</translation>
    </message>
    <message>
        <source>Centralina trovata su %1</source>
        <translation>Centralina trovata su %1</translation>
    </message>
    <message>
        <source>Hardware</source>
        <translation>Hardware</translation>
    </message>
    <message>
        <source>Cilindri</source>
        <translation>Cilindri</translation>
    </message>
    <message>
        <source>non indicati</source>
        <translation>non indicati</translation>
    </message>
    <message>
        <source>Firmware</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <source>(una porta seriale non comunica l&apos;identità: sono i valori che assume la finestra)</source>
        <translation>(una porta seriale non comunica l&apos;identità: sono i valori che assume la finestra)</translation>
    </message>
    <message>
        <source>Mappa letta: 41 valori, K %1, %2</source>
        <translation>Mappa letta: 41 valori, K %1, %2</translation>
    </message>
    <message>
        <source>Nome della mappa nella centralina: %1</source>
        <translation>Nome della mappa nella centralina: %1</translation>
    </message>
    <message>
        <source>Salvata in %1</source>
        <translation>Salvata in %1</translation>
    </message>
    <message>
        <source>Letta la mappa della centralina: K %1, %2</source>
        <translation>Letta la mappa della centralina: K %1, %2</translation>
    </message>
    <message>
        <source>Scrittura</source>
        <translation>Scrittura</translation>
    </message>
    <message>
        <source>K %1 inviato (la centralina aveva %2)</source>
        <translation>K %1 inviato (la centralina aveva %2)</translation>
    </message>
    <message>
        <source>K %1 inviato, ma la centralina non l&apos;ha confermato (aveva %2)</source>
        <translation>K %1 inviato, ma la centralina non l&apos;ha confermato (aveva %2)</translation>
    </message>
    <message>
        <source>K %1 come nella centralina: non inviato</source>
        <translation>K %1 come nella centralina: non inviato</translation>
    </message>
    <message>
        <source>interrotto durante la verifica: la mappa è stata scritta tutta (%1 indirizzi), ma non verificata</source>
        <translation>interrotto durante la verifica: la mappa è stata scritta tutta (%1 indirizzi), ma non verificata</translation>
    </message>
    <message>
        <source>interrotto prima della scrittura: nessun indirizzo della mappa è stato scritto</source>
        <translation>interrotto prima della scrittura: nessun indirizzo della mappa è stato scritto</translation>
    </message>
    <message>
        <source>interrotto durante la scrittura: %1</source>
        <translation>interrotto durante la scrittura: %1</translation>
    </message>
    <message>
        <source>Inviato</source>
        <translation>Inviato</translation>
    </message>
    <message>
        <source>Letto</source>
        <translation>Letto</translation>
    </message>
    <message>
        <source>Il nome della mappa nella centralina è diverso da quello inviato.</source>
        <translation>Il nome della mappa nella centralina è diverso da quello inviato.</translation>
    </message>
    <message>
        <source>nel nome della mappa</source>
        <translation>nel nome della mappa</translation>
    </message>
    <message numerus="yes">
        <source>in %n punti</source>
        <translation>
            <numerusform>in %n punto</numerusform>
            <numerusform>in %n punti</numerusform>
        </translation>
    </message>
    <message>
        <source>la verifica dopo la scrittura ha trovato valori diversi %1: la centralina non contiene la mappa di %2</source>
        <translation>la verifica dopo la scrittura ha trovato valori diversi %1: la centralina non contiene la mappa di %2</translation>
    </message>
    <message>
        <source>Mappa di %1 scritta nella centralina (%2 indirizzi) e verificata</source>
        <translation>Mappa di %1 scritta nella centralina (%2 indirizzi) e verificata</translation>
    </message>
    <message>
        <source>Mappa di %1 scritta nella centralina (%2 indirizzi), senza verifica</source>
        <translation>Mappa di %1 scritta nella centralina (%2 indirizzi), senza verifica</translation>
    </message>
    <message>
        <source>la centralina non ha confermato K %1</source>
        <translation>la centralina non ha confermato K %1</translation>
    </message>
    <message>
        <source>Tempo s</source>
        <translation>Tempo s</translation>
    </message>
    <message>
        <source>Cella</source>
        <translation>Cella</translation>
    </message>
    <message>
        <source>Sonda</source>
        <translation>Sonda</translation>
    </message>
    <message numerus="yes">
        <source>Collegamento in tempo reale per %n secondi (K %1)</source>
        <translation>
            <numerusform>Collegamento in tempo reale per %n secondo (K %1)</numerusform>
            <numerusform>Collegamento in tempo reale per %n secondi (K %1)</numerusform>
        </translation>
    </message>
    <message>
        <source>Collegamento in tempo reale fino a Ctrl+C (K %1)</source>
        <translation>Collegamento in tempo reale fino a Ctrl+C (K %1)</translation>
    </message>
    <message numerus="yes">
        <source>%n letture in %1 s</source>
        <translation>
            <numerusform>%n lettura in %1 s</numerusform>
            <numerusform>%n letture in %1 s</numerusform>
        </translation>
    </message>
    <message>
        <source>Salvate in %1 (%2 righe)</source>
        <translation>Salvate in %1 (%2 righe)</translation>
    </message>
    <message>
        <source>interrotto con Ctrl+C: il collegamento è chiuso</source>
        <translation>interrotto con Ctrl+C: il collegamento è chiuso</translation>
    </message>
</context>
</TS>

// The one list of the callbacks the resource file names, each control callback with its
// right-click help as a {German, English} pair. Read once for each use, with the macros the
// reader defines first (and undefines after):
//   TAV_PANEL(name)                  a panel callback
//   TAV_CTRL(name, german, english)  a control callback and the help its right click shows
//   TAV_TEXT_BOX(name)               the callback of a text box: it clears itself on a right
//                                    double click and has no help
// Readers: window/callbacks.h (the declarations and the help texts), window/callback_help.cpp
// (the help texts' definitions), app/callbacks.cpp (the name table the runtime resolves the
// resource file's names with) and the help test, which right-clicks every control against it.
// A callback added here is declared, registered and its help tested; it is then written in the
// part of the program it belongs to. No include guard: this file is meant to be read repeatedly.

// Application frame
TAV_PANEL(CBF_MAINP)
TAV_PANEL(CBF_DATAP)
TAV_PANEL(CBF_SCOPEP)
TAV_CTRL(
    CBF_TabMain1,
    "Waehlen Sie eine Registerkarte.\n<Strg>+<Umschalt>+S zeigt die Registerkarte DATENREKORDER.",
    "Select TAB-window.\n<Ctrl>+<Shift>+S shows the SCOPE tab.")

// Connection page
TAV_CTRL(CBF_EditCommunicationProtocol, "Waehlen Sie die RS232 oder TCP/IP Schnittstelle.",
         "Select RS232 or TCP/IP Interface.")
TAV_CTRL(CBF_ButtonFindComPorts, "Zeigt eine Liste der verfuegbaren COM PORTS.",
         "Shows a list of available COM PORTS.")
TAV_CTRL(CBF_EditSelectComPort, "Waehlen Sie einen seriellen COM-Port.",
         "Select a serial COM-PORT.")
TAV_CTRL(CBF_EditSelectBaudrate,
         "Waehlen Sie die Baudrate fuer die Datenuebertragung. \n\nAchtung! Sensor und "
         "Nutzeroberflaeche \nmuessen mit der gleichen Baudrate arbeiten.",
         "Select the Baudrate for data transfer. \n\nAttention! Sensor and user surface \nmust "
         "work with the same Baudrate.")
TAV_CTRL(CBF_ButtonChangeBaudrate,
         "Ausgewaehlte Baudrate auf Sensor speichern. \n\nNeue Baudrate mit EEPROM und SENDEN "
         "bestaetigen.",
         "Save selected Baudrate to sensor. \n\nConfirm new baudrate with EEPROM and SEND.")
TAV_CTRL(CBF_StringIpAdress, "Waehlen Sie einen Server per Bezeichnung oder IP-Adresse.",
         "Select a Server by name or IP address.")
TAV_CTRL(CBF_StringPortNumber, "Waehlen Sie eine Port-Nummer.", "Select a port number.")
TAV_CTRL(CBF_ButtonTryToConnect, "Verbindungsaufbau zum Sensor.", "Try to connect sensor.")
TAV_CTRL(CBF_ButtonDisconnect, "Verbindungsabbruch vom Sensor.", "Disconnect from sensor.")
TAV_CTRL(CBF_ButtonAccept,
         "Verbindungseinstellungen bestaetigen \nund zum Parametrierungs-Reiter wechseln.",
         "Accept settings for communication \nand switch to para-panel.")
TAV_TEXT_BOX(CBF_DispStatus)
TAV_CTRL(CBF_ButtonGenHwInfoFile,
         "Hardware Initialisierungs-Datei auf Festplatte speichern. \nSenden Sie diese Datei an "
         "den Hersteller fuer Support.",
         "Save Hardware Initial File to disk. \nSend this file to your supplier for assistance.")
TAV_CTRL(
    CBF_EditID,
    "Sensor-Identifikation einfuegen. \nDiese ID wird in einigen Fenstern der Software angezeigt.",
    "Insert sensor identification. \nThis ID will be displayed in some panels of the software.")
TAV_CTRL(CBF_EditLanguage, "Sprache auswaehlen.", "Select a language.")

// Parameters
TAV_CTRL(CBF_ButtonSend,
         "Alle Parameter der PC-Nutzeroberflaeche werden an den Sensor oder in eine auswaehlbare "
         "Datei uebertragen. \nDas Ziel der Parameteruebertragung wird mit der Button-Auswahl "
         "(RAM, EEPROM, DATEI) bestimmt. \n\nFunktionstaste: F9",
         "All the parameters of the PC-User-Interface are transferred to the sensor or to a "
         "selectable file. \nThe target of the parameter transfer is determined by the select "
         "button (RAM, EEPROM, FILE). \n\nShortcut Key: F9.")
TAV_CTRL(CBF_ButtonGet,
         "Sensor- oder Dateiparameter werden auf die PC-Nutzeroberflaeche uebertragen. \nDie "
         "Quelle der Parameteruebertragung wird mit der Button-Auswahl (RAM, EEPROM, DATEI) "
         "bestimmt. \n\nFunktionstaste: F10",
         "Sensor or file parameters are transferred to the PC-User-Interface. \nThe source of the "
         "parameter transfer is determined by the select button (RAM, EEPROM, FILE). \n\nShortcut "
         "Key: F10.")
TAV_CTRL(CBF_ButtonSelectMem,
         "Waehlen Sie die Quelle bzw. das Ziel fuer die Parameteruebertragung.",
         "Select source respectively the target for the parameter transfer.")
TAV_CTRL(CBF_EditStrokeTol, "Plus / Minus Toleranz fuer Stanzhub. \nEingabe in Promille.",
         "Plus / minus tolerance for punching stroke. \nInput in per thousand.")
TAV_CTRL(CBF_EditBadCntToFail,
         "Anzahl von Fehlerereignissen, \nbevor die Ausgaenge geschaltet werden",
         "Number of errors before \nthe outputs are set.")
TAV_CTRL(CBF_EditDigOutmode,
         "Waehle die Ansteuerung der Digitalausgaenge. \nDIREKT : Ausgaenge sind High aktiv. "
         "\nINVERS : Ausgaenge sind Low aktiv.",
         "Select the control of the digital outputs. \nDIRECT  : Outputs are high activ. \nINVERSE "
         ": Outputs are low activ.")
TAV_CTRL(CBF_EditCntStrokeEdge,
         "Waehlen Sie aus, welche Kante des \nStanzhubs ausgewertet werden soll.",
         "Select which edge of the \npunching stroke should be evaluated.")
// Comparison of RAM, EEPROM and a parameter file
TAV_CTRL(
    CBF_ButtonCompare,
    "Zeigt die vier Parameter aus RAM, EEPROM und Parameter-Datei nebeneinander; Zeilen, die sich "
    "unterscheiden, sind markiert. \nZum Lesen wird das EEPROM ins RAM geladen; unterscheiden sich "
    "die Saetze, wird das RAM danach wiederhergestellt. \nEine Spalte kann auf die Seite "
    "uebernommen werden; gesendet wird erst mit SENDEN.",
    "Shows the four parameters as RAM, EEPROM and the parameter file hold them, side by side; rows "
    "that differ are marked. \nTo be read, the EEPROM is loaded into RAM; when the sets differ, "
    "RAM is put back afterwards. \nA column can be taken onto the page; only SEND sends it.")
TAV_CTRL(CBF_ButtonCompareRead, "Liest RAM und EEPROM des Sensors erneut.",
         "Reads the sensor's RAM and EEPROM again.")
TAV_CTRL(
    CBF_ButtonCompareTake,
    "Uebernimmt die Werte dieser Spalte auf die Parameterseite; gesendet wird erst mit SENDEN.",
    "Puts the values of this column onto the parameter page; only SEND sends them.")
TAV_CTRL(CBF_ButtonCompareFile, "Waehlt die Parameter-Datei, die verglichen wird.",
         "Selects the parameter file to compare.")
TAV_CTRL(CBF_ButtonCloseCompare, "Schliesst den Vergleich (auch mit Escape).",
         "Closes the comparison (Escape does too).")

// Live data
TAV_CTRL(CBF_ButtonGo, "Startet Datenaustausch zwischen Sensor und PC. \n\nFunktionstaste: F11",
         "Starts data transfer from sensor to PC. \n\nShortcut Key: F11.")
TAV_CTRL(CBF_ButtonStop, "Stoppt Datenaustausch zwischen Sensor und PC. \n\nFunktionstaste: F12",
         "Stops data transfer from sensor to PC. \n\nShortcut Key: F12.")
TAV_CTRL(CBF_Displays,
         "Zeigt an, bei welchem Zaehlerstand ein Ereignis eingetreten ist. \n\nDer Zaehlerstand "
         "entspricht fast genau einer Angabe in Mikrosekunden. \n\nPERIODE: Zeit von Aussparung zu "
         "Aussparung. \n\nAUSSPARUNG: Laenge der Aussparung. \n\nSTANZHUB: Zeitpunkt des "
         "Stanzhubes. \n\nUNTERE TOLERANZ GRENZE und OBERE TOLERANZ GRENZE zeigen das "
         "Toleranzfenster an. \n\nANZAHL FEHLER < TOLERANZ und ANZAHL FEHLER > TOLERANZ zeigen an, "
         "\nwieviele gleiche Fehler in Folge aufgetreten sind.",
         "Indicates at which counter level an event has occurred. \n\nThe counter level is almost "
         "exactly one in microseconds. \n\nCNT PERIOD: Time from gap to gap. \n\nCNT GAP: Length "
         "of the gap. \n\nCNT STROKE: When the stamping stroke occurs. \n\nLOWER TOL LIMIT and "
         "UPPER TOL LIMIT display the tolerance window. \n\nBAD CNT LOWER TOL LIMIT and BAD CNT "
         "UPPER TOL LIMIT indicate \nhow many identical errors have occurred in sequence.")
TAV_CTRL(CBF_LedOut,
         "Zeigt den Status des Ausgaenge an. \nLED AUS (schwarz): Ausgang ist 0V. \nLED AN "
         "(orange): Ausgang ist +24V.",
         "Displays the status of the output. \nLed OFF (black): Output is 0V. \nLed ON (orange): "
         "Output is +24V.")
TAV_CTRL(
    CBF_GraphPaper,
    "Zeigt graphisch an, wann die einzelnen Ereignisse stattfinden. \n\nDie Gesamtlaenge "
    "entspricht einer Periode (normiert auf 1000). \n\nDie gruene Flaeche symbolisiert die Laenge "
    "der Aussparung. \n\nCyan zeigt das Toleranzfenster an.\n\nDer blaue Cursor stellt den "
    "Stanzhub da.",
    "Displays graphically when each event takes place (standardised to 1000). \n\nThe total length "
    "corresponds to one period. \n\nThe green area symbolizes the length of the gap. \n\nCyan "
    "displays the tolerance window. \n\nThe blue cursor represents the stamping stroke.")

// Scope page and scope panel
TAV_CTRL(CBF_ButtonGetCycleTime,
         "Zykluszeit des Sensors abfragen. \nSensor fuer 8 Sekunden nicht unterbrechen, \ndann "
         "Schaltflaeche klicken.",
         "Get cycle time from sensor. \nDon't interrupt the sensor for 8 seconds \nthen press the "
         "button.")
TAV_CTRL(CBF_ButtonScan, "Datenrekorder starten und das Ergebnis im Graph anzeigen.",
         "Start data recording and display the result in the graph.")
TAV_CTRL(CBF_ButtonBreakScan, "Datenrekorder abbrechen.", "Break data recording.")
TAV_CTRL(
    CBF_EditTriggerMode,
    "Trigger Modus auswaehlen! \nEINZELAUFNAHME: Datenrekorder startet nach Klick auf SCAN. "
    "\nSTEIGENDE FLANKE: Datenrekorder startet wenn die blaue Linie ueber TRIGGER LEVEL steigt. "
    "\nFALLENDE FLANKE: Datenrekorder startet wenn die blaue Linie unter TRIGGER LEVEL faellt. "
    "\nINTERN OUT0: Datenrekorder startet wenn OUT0 aus Toleranz faellt. \nEXTERN IN0: "
    "Datenrekorder startet wenn IN0 high schaltet.",
    "Select trigger mode! \nSINGLE SHOT: Data recording starts after pushing SCAN. \nRISING EDGE: "
    "Data recording starts when signal goes higher than TRIGGER LEVEL. \nFALLING EDGE: Data "
    "recording starts when signal goes lower than TRIGGER LEVEL. \nINTERNAL OUT0: Data recording "
    "starts when OUT0 exits tolerance. \nEXTERNAL IN0: Data recording starts when IN0 goes high.")
TAV_CTRL(CBF_EditPreTrigVal,
         "Anzahl der aufgenommenen Werte \ndie gespeichert werden bevor Triggerereignis eintritt.",
         "Number of recorded values \nwhich are stored before trigger occured.")
TAV_CTRL(CBF_EditTriggerLevel, "Rekorder startet wenn das Signal das TRIGGER LEVEL passiert.",
         "Record starts when signal passes TRIGGER LEVEL.")
TAV_CTRL(CBF_EditScanRate, "Zeichnet pro SCAN RATE Zyklus einen Wert auf.",
         "Record a value every SCAN RATE scan.")
TAV_CTRL(
    CBF_DispScanFreq,
    "Sensor Scanfrequenz. \nSensor fuer 8 Sekunden nicht unterbrechen, \ndann Schaltflaeche "
    "klicken.",
    "Sensor scanfrequency. \nDon't interrupt the sensor for 8 seconds \nthen press the button.")
TAV_TEXT_BOX(CBF_EditScopeComment)
TAV_CTRL(CBF_ButtonCloseSP, "Schliesst PANEL und kehrt zu HAUPT PANEL zurueck.",
         "Close PANEL and return to MAIN PANEL.")
TAV_CTRL(CBF_ButtonZoomScope11,
         "Zoom in: <Strg>+Linke Maustaste (ziehen zum auswaehlen).\nZoom out: ZOOM 1:1 klicken.",
         "Zoom in: <Ctrl>+Left Mouse Button (drag to select). \nZoom out: Press ZOOM 1:1.")
TAV_CTRL(CBF_GraphScope,
         "Zeigt Aufzeichnungs-Ergebnisse an. \n\nAktualisiere deltaX und deltaY durch Bewegen des "
         "Cursors. \nZoom in: <Strg>+Linke Maustaste (Ziehen zum Auswaehlen). \nZoom out: ZOOM 1:1 "
         "klicken.",
         "Displays record results.\n\nUpdate display deltaX and deltaY by moving the cursors. "
         "\nZoom in: <Ctrl>+Left Mouse Button (drag to select). \nZoom out: Press ZOOM 1:1.")
TAV_CTRL(CBF_DispDeltaX,
         "Zeigt delta X in [ms] an. \nDie Berechnung basiert auf der im Fenster [ms] angezeigten "
         "Zykluszeit und der Scan Rate.",
         "Show delta X in [ms]. \nThe calculation is based on the cycle time shown \nin the "
         "display [ms] and the value of ScanRate.")
TAV_CTRL(CBF_DispDeltaY, "Zeigt delta Y in [digit].", "Show delta Y in [digit].")
TAV_CTRL(CBF_ButtonPrintScopeGraph, "Einstellungen, Scope Graph und Kommentare drucken.",
         "Print settings,scope graph and comment.")
TAV_CTRL(CBF_ButtonExportScope,
         "Letzte Aufnahme als CSV-Datei speichern, dazu ein Bild des Scope-Fensters (PNG).",
         "Save the last recording as a CSV file, with a picture of the scope panel (PNG).")

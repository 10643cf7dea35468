<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>about::frmAbout</name>
    <message>
        <source>About Zumbrel Teacher</source>
        <translation>Über den Zumbrel-Lehrer</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>&amp;System Info...</source>
        <translation>&amp;Systeminfo...</translation>
    </message>
    <message>
        <source>Version %1.%2.%3</source>
        <translation>Version %1.%2.%3</translation>
    </message>
    <message>
        <source>Developed by Vantrell</source>
        <translation>Entwickelt von Vantrell</translation>
    </message>
    <message>
        <source>Zumbrel is free software under the GNU General Public License, version 3 or later, and comes with absolutely no warranty.</source>
        <translation>Zumbrel ist freie Software unter der GNU General Public License, Version 3 oder später, und kommt ohne jede Gewährleistung.</translation>
    </message>
    <message>
        <source>System Information Is Unavailable At This Time</source>
        <translation>Die Systeminformationen sind gerade nicht verfügbar</translation>
    </message>
    <message>
        <source>This program is intended to teach basic arithmetic to children between the ages of 5 and 8.</source>
        <translation>Mit diesem Programm üben Kinder von 5 bis 8 Jahren das Rechnen.</translation>
    </message>
    <message>
        <source>It requires a Linux desktop with a sound card plus speakers, and a microphone for spoken commands.</source>
        <translation>Es braucht einen Linux-Desktop mit Soundkarte und Lautsprechern und ein Mikrofon für Sprachbefehle.</translation>
    </message>
</context>
<context>
    <name>app</name>
    <message>
        <source>An unknown error occurred.</source>
        <translation>Ein unbekannter Fehler ist aufgetreten.</translation>
    </message>
    <message>
        <source>Zumbrel</source>
        <translation>Zumbrel</translation>
    </message>
    <message>
        <source>Zumbrel has stopped because of an error:</source>
        <translation>Zumbrel wurde wegen eines Fehlers beendet:</translation>
    </message>
</context>
<context>
    <name>app::MainWindow</name>
    <message>
        <source>Zumbrel</source>
        <translation>Zumbrel</translation>
    </message>
    <message>
        <source>Zumbrel Teacher</source>
        <translation>Zumbrel-Lehrer</translation>
    </message>
    <message>
        <source>Type your answer here</source>
        <translation>Schreib hier deine Antwort hin</translation>
    </message>
    <message>
        <source>Question</source>
        <translation>Aufgabe</translation>
    </message>
    <message>
        <source>Type of questions being asked</source>
        <translation>Die Art der Aufgaben</translation>
    </message>
    <message>
        <source>Score</source>
        <translation>Punkte</translation>
    </message>
    <message>
        <source>Total:</source>
        <translation>Alle:</translation>
    </message>
    <message>
        <source>Correct:</source>
        <translation>Richtig:</translation>
    </message>
    <message>
        <source>Wrong:</source>
        <translation>Falsch:</translation>
    </message>
    <message>
        <source>Skipped:</source>
        <translation>Gepasst:</translation>
    </message>
    <message>
        <source>Level:</source>
        <translation>Stufe:</translation>
    </message>
    <message>
        <source>Total questions shown</source>
        <translation>So viele Aufgaben gab es schon</translation>
    </message>
    <message>
        <source>Number of correct answers given</source>
        <translation>So viele Antworten waren richtig</translation>
    </message>
    <message>
        <source>Number of wrong answers given</source>
        <translation>So viele Antworten waren falsch</translation>
    </message>
    <message>
        <source>Number of questions not answered</source>
        <translation>So viele Aufgaben hast du ausgelassen</translation>
    </message>
    <message>
        <source>The current level of diffulty</source>
        <translation>Wie schwer die Aufgaben gerade sind</translation>
    </message>
    <message>
        <source>&amp;Reset</source>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <source>Click here to reset scores</source>
        <translation>Hier klicken, um die Punkte auf null zu setzen</translation>
    </message>
    <message>
        <source>&amp;Skip</source>
        <translation>&amp;Passen</translation>
    </message>
    <message>
        <source>Click here to skip the current question. You can also press the Esc key.</source>
        <translation>Hier klicken, um die Aufgabe auszulassen. Du kannst auch die Esc-Taste drücken.</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Click here after typing the answer. Alternatively, press the Enter key</source>
        <translation>Hier klicken, wenn du die Antwort geschrieben hast. Oder drück die Eingabetaste</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>Your &amp;Name...</source>
        <translation>Dein &amp;Name...</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Questions</source>
        <translation>&amp;Aufgaben</translation>
    </message>
    <message>
        <source>&amp;Addition</source>
        <translation>&amp;Plusaufgaben</translation>
    </message>
    <message>
        <source>&amp;Subtraction</source>
        <translation>&amp;Minusaufgaben</translation>
    </message>
    <message>
        <source>&amp;Multiplication</source>
        <translation>M&amp;alaufgaben</translation>
    </message>
    <message>
        <source>&amp;Division</source>
        <translation>&amp;Geteiltaufgaben</translation>
    </message>
    <message>
        <source>Levels</source>
        <translation>Stufen</translation>
    </message>
    <message>
        <source>Level &amp;%1</source>
        <translation>Stufe &amp;%1</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>&amp;Über...</translation>
    </message>
    <message>
        <source>The page could not be opened in a web browser. Open it yourself:</source>
        <translation>Die Seite ließ sich in keinem Webbrowser öffnen. Öffne sie selbst:</translation>
    </message>
    <message>
        <source>Enter Name</source>
        <translation>Dein Name</translation>
    </message>
    <message>
        <source>What is your name?</source>
        <translation>Wie heißt du?</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Anleitung</translation>
    </message>
    <message>
        <source>plus</source>
        <translation>plus</translation>
    </message>
    <message>
        <source>minus</source>
        <translation>minus</translation>
    </message>
    <message>
        <source>times</source>
        <translation>mal</translation>
    </message>
    <message>
        <source>divided by</source>
        <translation>geteilt durch</translation>
    </message>
    <message>
        <source>Your answer</source>
        <translation>Deine Antwort</translation>
    </message>
    <message>
        <source>First number</source>
        <translation>Erste Zahl</translation>
    </message>
    <message>
        <source>Second number</source>
        <translation>Zweite Zahl</translation>
    </message>
    <message>
        <source>Merlin says good-bye and Zumbrel closes</source>
        <translation>Merlin sagt Tschüss und Zumbrel geht zu</translation>
    </message>
    <message>
        <source>The guide could not be opened in a web browser. Open it yourself:</source>
        <translation>Die Anleitung ließ sich in keinem Webbrowser öffnen. Öffne sie selbst:</translation>
    </message>
    <message>
        <source>Merlin is away. Click here to call him back.</source>
        <translation>Merlin ist weg. Klick hier, dann kommt er zurück.</translation>
    </message>
</context>
<context>
    <name>character</name>
    <message>
        <source>Character</source>
        <translation>Figur</translation>
    </message>
    <message>
        <source>the Space bar</source>
        <translation>die Leertaste</translation>
    </message>
    <message>
        <source>the %1 key</source>
        <translation>die Taste %1</translation>
    </message>
    <message>
        <source>&amp;Show %1</source>
        <translation>%1 &amp;zeigen</translation>
    </message>
    <message>
        <source>&amp;Hide %1</source>
        <translation>%1 &amp;verstecken</translation>
    </message>
    <message>
        <source>Say: %1</source>
        <extracomment>The commands are the recogniser&apos;s own words, which are English whatever the interface language; a translation should say that they are to be said in English.</extracomment>
        <translation>Sag auf Englisch: %1</translation>
    </message>
    <message>
        <source>&amp;Hide</source>
        <translation>&amp;Verstecken</translation>
    </message>
    <message>
        <source>&amp;Listen</source>
        <translation>&amp;Zuhören</translation>
    </message>
    <message>
        <source>%1 heard:</source>
        <translation>%1 hat gehört:</translation>
    </message>
    <message>
        <source>I didn&apos;t understand.</source>
        <translation>Das habe ich nicht verstanden.</translation>
    </message>
    <message>
        <source>There is no command to give just now.</source>
        <translation>Gerade gibt es keinen Befehl.</translation>
    </message>
    <message>
        <source>Speak now.</source>
        <translation>Sprich jetzt.</translation>
    </message>
    <message>
        <source>Speak now. You can also hold %1 while you speak.</source>
        <translation>Sprich jetzt. Du kannst auch %1 gedrückt halten, während du sprichst.</translation>
    </message>
    <message>
        <source>Keep holding %1 while you speak.</source>
        <translation>Halte %1 gedrückt, während du sprichst.</translation>
    </message>
    <message>
        <source>%1 is listening...</source>
        <translation>%1 hört zu...</translation>
    </message>
    <message>
        <source>Spoken commands are not available.</source>
        <translation>Sprachbefehle gibt es hier nicht.</translation>
    </message>
    <message>
        <source>Is a microphone plugged in?</source>
        <translation>Ist ein Mikrofon angeschlossen?</translation>
    </message>
    <message>
        <source>%1 cannot hear you.</source>
        <translation>%1 kann dich nicht hören.</translation>
    </message>
    <message>
        <source>Right-click %1 for the menu.</source>
        <translation>Klick mit rechts auf %1 für das Menü.</translation>
    </message>
    <message>
        <source>An animated character. Click him and he speaks; drag him to move him. Right-click him, or press the Menu key or Shift+F10, for his menu.</source>
        <translation>Eine bewegte Figur. Klick ihn an, dann spricht er; zieh ihn, um ihn zu verschieben. Rechtsklick, die Menütaste oder Umschalt+F10 öffnen sein Menü.</translation>
    </message>
    <message>
        <source>What %1 says</source>
        <translation>Was %1 sagt</translation>
    </message>
    <message>
        <source>%1&apos;s commands</source>
        <translation>Befehle für %1</translation>
    </message>
</context>
<context>
    <name>commandline</name>
    <message>
        <source>unexpected argument &apos;%1&apos;</source>
        <translation>unerwartetes Argument &apos;%1&apos;</translation>
    </message>
    <message>
        <source>unknown option &apos;%1&apos;</source>
        <translation>unbekannte Option &apos;%1&apos;</translation>
    </message>
    <message>
        <source>option &apos;%1&apos; needs a value</source>
        <translation>Option &apos;%1&apos; braucht einen Wert</translation>
    </message>
    <message>
        <source>Usage: zumbrel [options]
An arithmetic drill for children aged 5 to 8: Merlin the wizard asks sums, listens and talks.

Options:
  -h, --help     Show this help and exit.
  -v, --version  Show the version and exit.

Qt&apos;s own options, such as -platform NAME or -display DISPLAY, are accepted too.
Zumbrel needs a graphical desktop session (X11, or Wayland with XWayland) and sound.
More in the manual page zumbrel(1) and in the guide: Help &gt; Contents, or F1.
</source>
        <translation>Aufruf: zumbrel [Optionen]
Rechenübungen für Kinder von 5 bis 8 Jahren: Merlin der Zauberer stellt Aufgaben, hört zu und spricht.

Optionen:
  -h, --help     Diese Hilfe zeigen und beenden.
  -v, --version  Die Version zeigen und beenden.

Die Optionen von Qt, etwa -platform NAME oder -display DISPLAY, gehen auch.
Zumbrel braucht eine grafische Sitzung (X11, oder Wayland mit XWayland) und Ton.
Mehr in der Handbuchseite zumbrel(1) und in der Anleitung: Hilfe &gt; Anleitung, oder F1.
</translation>
    </message>
    <message>
        <source>cannot open a window: this Wayland session offers no X server (DISPLAY is not set). Zumbrel needs XWayland; install and enable it, or start Zumbrel from an X session.</source>
        <translation>kann kein Fenster öffnen: Diese Wayland-Sitzung bietet keinen X-Server (DISPLAY ist nicht gesetzt). Zumbrel braucht XWayland; installieren und aktivieren Sie es, oder starten Sie Zumbrel in einer X-Sitzung.</translation>
    </message>
    <message>
        <source>cannot open a window: no display is set (neither DISPLAY nor WAYLAND_DISPLAY). Start Zumbrel from a graphical desktop session.</source>
        <translation>kann kein Fenster öffnen: Keine Anzeige gesetzt (weder DISPLAY noch WAYLAND_DISPLAY). Starten Sie Zumbrel in einer grafischen Sitzung.</translation>
    </message>
    <message>
        <source>Try &apos;zumbrel --help&apos; for more information.
</source>
        <translation>Mehr dazu mit &apos;zumbrel --help&apos;.
</translation>
    </message>
    <message>
        <source>cannot open a window: no X server answers on the display &quot;%1&quot;. Start Zumbrel from a graphical desktop session.</source>
        <translation>kann kein Fenster öffnen: Auf der Anzeige &quot;%1&quot; antwortet kein X-Server. Starten Sie Zumbrel in einer grafischen Sitzung.</translation>
    </message>
</context>
<context>
    <name>listen</name>
    <message>
        <source>There is no microphone.</source>
        <translation>Es ist kein Mikrofon da.</translation>
    </message>
    <message>
        <source>The microphone cannot be opened.</source>
        <translation>Das Mikrofon lässt sich nicht öffnen.</translation>
    </message>
    <message>
        <source>The microphone stopped working.</source>
        <translation>Das Mikrofon geht nicht mehr.</translation>
    </message>
    <message>
        <source>The speech model is missing (%1).</source>
        <translation>Das Sprachmodell fehlt (%1).</translation>
    </message>
    <message>
        <source>The pronouncing dictionary is missing (%1).</source>
        <translation>Das Aussprachewörterbuch fehlt (%1).</translation>
    </message>
    <message>
        <source>The pronouncing dictionary cannot be read (%1).</source>
        <translation>Das Aussprachewörterbuch lässt sich nicht lesen (%1).</translation>
    </message>
    <message>
        <source>No pronunciation for: %1.</source>
        <translation>Keine Aussprache für: %1.</translation>
    </message>
    <message>
        <source>Cannot write the decoder&apos;s word list.</source>
        <translation>Die Wortliste der Spracherkennung lässt sich nicht schreiben.</translation>
    </message>
    <message>
        <source>The speech decoder rejected its settings.</source>
        <translation>Die Spracherkennung lehnt ihre Einstellungen ab.</translation>
    </message>
    <message>
        <source>The speech decoder cannot load its model.</source>
        <translation>Die Spracherkennung kann ihr Modell nicht laden.</translation>
    </message>
    <message>
        <source>The speech decoder rejected the command grammar.</source>
        <translation>Die Spracherkennung lehnt die Befehle ab.</translation>
    </message>
</context>
<context>
    <name>quiz</name>
    <message>
        <source>Correct answer|You are right|Well done|Very Good|That is correct</source>
        <translation>Richtige Antwort|Du hast recht|Gut gemacht|Sehr gut|Das ist richtig</translation>
    </message>
    <message>
        <source>Correct answer|You are right, %1|Well done, %1|Very Good, %1|That is correct|You are very smart, %1</source>
        <translation>Richtige Antwort|Du hast recht, %1|Gut gemacht, %1|Sehr gut, %1|Das ist richtig|Du bist sehr schlau, %1</translation>
    </message>
    <message>
        <source>Wrong answer|That is not correct|You gave the wrong answer|Your answer is wrong|Oops! That is not right</source>
        <translation>Falsche Antwort|Das ist nicht richtig|Deine Antwort stimmt nicht|Deine Antwort ist falsch|Hoppla! Das stimmt nicht</translation>
    </message>
    <message>
        <source>Wrong answer, %1|That is not correct, %1|You gave the wrong answer, %1|Your answer is wrong|Oops! That is not right|Please, pay attention|Hey, you made a boo-boo</source>
        <translation>Falsche Antwort, %1|Das ist nicht richtig, %1|Deine Antwort stimmt nicht, %1|Deine Antwort ist falsch|Hoppla! Das stimmt nicht|Bitte pass gut auf|Hoppla, da ist dir ein Fehler passiert</translation>
    </message>
    <message>
        <source>The correct answer is %1</source>
        <extracomment>Followed by the number, written in digits.</extracomment>
        <translation>Die richtige Antwort ist %1</translation>
    </message>
</context>
<context>
    <name>teacher</name>
    <message>
        <source>&amp;Reset</source>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <source>Level &amp;1</source>
        <translation>Stufe &amp;1</translation>
    </message>
    <message>
        <source>Level &amp;2</source>
        <translation>Stufe &amp;2</translation>
    </message>
    <message>
        <source>Level &amp;3</source>
        <translation>Stufe &amp;3</translation>
    </message>
    <message>
        <source>Level &amp;4</source>
        <translation>Stufe &amp;4</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Welcome. I am your teacher for today.</source>
        <translation>Willkommen! Heute bin ich dein Lehrer.</translation>
    </message>
    <message>
        <source>Are you ready?</source>
        <translation>Bist du bereit?</translation>
    </message>
    <message>
        <source>Ouch!|That tickles|Don&apos;t click me|Keep the mouse away from me</source>
        <translation>Autsch!|Das kitzelt|Klick mich nicht an|Halt die Maus von mir weg</translation>
    </message>
    <message>
        <source>Happy?|I feel much better here|Leave me where I was|What? There&apos;s something special about this place?|Leave me alone</source>
        <translation>Zufrieden?|Hier fühle ich mich viel besser|Stell mich zurück, wo ich war|Was? Ist dieser Platz etwas Besonderes?|Lass mich in Ruhe</translation>
    </message>
    <message>
        <source>Hello, %1. Nice to meet you|Hi there, %1</source>
        <translation>Hallo, %1. Schön, dich kennenzulernen|Hi, %1</translation>
    </message>
    <message>
        <source>Good-bye|See you later|So long|Come back soon</source>
        <translation>Tschüss|Bis später|Mach&apos;s gut|Komm bald wieder</translation>
    </message>
    <message>
        <source>Good-bye, %1|See you later, %1|So long|Come back soon, %1</source>
        <translation>Tschüss, %1|Bis später, %1|Mach&apos;s gut|Komm bald wieder, %1</translation>
    </message>
    <message>
        <source>Cannot load character</source>
        <translation>Die Figur lässt sich nicht laden</translation>
    </message>
    <message>
        <source>This program requires the Merlin character.</source>
        <translation>Dieses Programm braucht die Figur Merlin.</translation>
    </message>
    <message>
        <source>And run this program again.</source>
        <translation>Und starte dann dieses Programm noch einmal.</translation>
    </message>
    <message>
        <source>Do you want to open this page now?</source>
        <translation>Möchtest du diese Seite jetzt öffnen?</translation>
    </message>
    <message>
        <source>Read how to install it at %1</source>
        <translation>Hier steht, wie du sie installierst: %1</translation>
    </message>
    <message>
        <source>If Zumbrel came as a Debian package: %1</source>
        <translation>Wenn Zumbrel ein Debian-Paket ist: %1</translation>
    </message>
</context>
</TS>

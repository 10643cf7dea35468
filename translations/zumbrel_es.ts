<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name>about::frmAbout</name>
    <message>
        <source>About Zumbrel Teacher</source>
        <translation>Acerca del profesor Zumbrel</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>&amp;System Info...</source>
        <translation>&amp;Info. del sistema...</translation>
    </message>
    <message>
        <source>Version %1.%2.%3</source>
        <translation>Versión %1.%2.%3</translation>
    </message>
    <message>
        <source>Developed by Vantrell</source>
        <translation>Desarrollado por Vantrell</translation>
    </message>
    <message>
        <source>Zumbrel is free software under the GNU General Public License, version 3 or later, and comes with absolutely no warranty.</source>
        <translation>Zumbrel es software libre bajo la GNU General Public License, versión 3 o posterior, y no tiene ninguna garantía.</translation>
    </message>
    <message>
        <source>System Information Is Unavailable At This Time</source>
        <translation>La información del sistema no está disponible ahora</translation>
    </message>
    <message>
        <source>This program is intended to teach basic arithmetic to children between the ages of 5 and 8.</source>
        <translation>Este programa ayuda a niños de 5 a 8 años a aprender a hacer cuentas.</translation>
    </message>
    <message>
        <source>It requires a Linux desktop with a sound card plus speakers, and a microphone for spoken commands.</source>
        <translation>Necesita un escritorio Linux con tarjeta de sonido y altavoces, y un micrófono para las órdenes habladas.</translation>
    </message>
</context>
<context>
    <name>app</name>
    <message>
        <source>An unknown error occurred.</source>
        <translation>Ha ocurrido un error desconocido.</translation>
    </message>
    <message>
        <source>Zumbrel</source>
        <translation>Zumbrel</translation>
    </message>
    <message>
        <source>Zumbrel has stopped because of an error:</source>
        <translation>Zumbrel se ha detenido por un error:</translation>
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
        <translation>Profesor Zumbrel</translation>
    </message>
    <message>
        <source>Type your answer here</source>
        <translation>Escribe aquí tu respuesta</translation>
    </message>
    <message>
        <source>Question</source>
        <translation>Pregunta</translation>
    </message>
    <message>
        <source>Type of questions being asked</source>
        <translation>El tipo de preguntas</translation>
    </message>
    <message>
        <source>Score</source>
        <translation>Puntos</translation>
    </message>
    <message>
        <source>Total:</source>
        <translation>Total:</translation>
    </message>
    <message>
        <source>Correct:</source>
        <translation>Bien:</translation>
    </message>
    <message>
        <source>Wrong:</source>
        <translation>Mal:</translation>
    </message>
    <message>
        <source>Skipped:</source>
        <translation>Pasadas:</translation>
    </message>
    <message>
        <source>Level:</source>
        <translation>Nivel:</translation>
    </message>
    <message>
        <source>Total questions shown</source>
        <translation>Preguntas que has visto en total</translation>
    </message>
    <message>
        <source>Number of correct answers given</source>
        <translation>Número de respuestas correctas</translation>
    </message>
    <message>
        <source>Number of wrong answers given</source>
        <translation>Número de respuestas incorrectas</translation>
    </message>
    <message>
        <source>Number of questions not answered</source>
        <translation>Número de preguntas sin responder</translation>
    </message>
    <message>
        <source>The current level of diffulty</source>
        <translation>El nivel de dificultad actual</translation>
    </message>
    <message>
        <source>&amp;Reset</source>
        <translation>&amp;Reiniciar</translation>
    </message>
    <message>
        <source>Click here to reset scores</source>
        <translation>Haz clic aquí para poner los puntos a cero</translation>
    </message>
    <message>
        <source>&amp;Skip</source>
        <translation>Pa&amp;sar</translation>
    </message>
    <message>
        <source>Click here to skip the current question. You can also press the Esc key.</source>
        <translation>Haz clic aquí para pasar esta pregunta. También puedes pulsar la tecla Esc.</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Click here after typing the answer. Alternatively, press the Enter key</source>
        <translation>Haz clic aquí cuando hayas escrito la respuesta. También puedes pulsar la tecla Intro</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Cerrar</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Archivo</translation>
    </message>
    <message>
        <source>Your &amp;Name...</source>
        <translation>Tu &amp;nombre...</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Salir</translation>
    </message>
    <message>
        <source>&amp;Questions</source>
        <translation>&amp;Preguntas</translation>
    </message>
    <message>
        <source>&amp;Addition</source>
        <translation>&amp;Sumas</translation>
    </message>
    <message>
        <source>&amp;Subtraction</source>
        <translation>&amp;Restas</translation>
    </message>
    <message>
        <source>&amp;Multiplication</source>
        <translation>&amp;Multiplicaciones</translation>
    </message>
    <message>
        <source>&amp;Division</source>
        <translation>&amp;Divisiones</translation>
    </message>
    <message>
        <source>Levels</source>
        <translation>Niveles</translation>
    </message>
    <message>
        <source>Level &amp;%1</source>
        <translation>Nivel &amp;%1</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>A&amp;yuda</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>&amp;Acerca de...</translation>
    </message>
    <message>
        <source>The page could not be opened in a web browser. Open it yourself:</source>
        <translation>No se pudo abrir la página en un navegador web. Ábrela tú:</translation>
    </message>
    <message>
        <source>Enter Name</source>
        <translation>Tu nombre</translation>
    </message>
    <message>
        <source>What is your name?</source>
        <translation>¿Cómo te llamas?</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Guía</translation>
    </message>
    <message>
        <source>plus</source>
        <translation>más</translation>
    </message>
    <message>
        <source>minus</source>
        <translation>menos</translation>
    </message>
    <message>
        <source>times</source>
        <translation>por</translation>
    </message>
    <message>
        <source>divided by</source>
        <translation>entre</translation>
    </message>
    <message>
        <source>Your answer</source>
        <translation>Tu respuesta</translation>
    </message>
    <message>
        <source>First number</source>
        <translation>Primer número</translation>
    </message>
    <message>
        <source>Second number</source>
        <translation>Segundo número</translation>
    </message>
    <message>
        <source>Merlin says good-bye and Zumbrel closes</source>
        <translation>Merlin se despide y Zumbrel se cierra</translation>
    </message>
    <message>
        <source>The guide could not be opened in a web browser. Open it yourself:</source>
        <translation>No se pudo abrir la guía en un navegador web. Ábrela tú:</translation>
    </message>
    <message>
        <source>Merlin is away. Click here to call him back.</source>
        <translation>Merlin se ha ido. Haz clic aquí para que vuelva.</translation>
    </message>
</context>
<context>
    <name>character</name>
    <message>
        <source>Character</source>
        <translation>Personaje</translation>
    </message>
    <message>
        <source>the Space bar</source>
        <translation>la barra espaciadora</translation>
    </message>
    <message>
        <source>the %1 key</source>
        <translation>la tecla %1</translation>
    </message>
    <message>
        <source>&amp;Show %1</source>
        <translation>&amp;Mostrar a %1</translation>
    </message>
    <message>
        <source>&amp;Hide %1</source>
        <translation>&amp;Esconder a %1</translation>
    </message>
    <message>
        <source>Say: %1</source>
        <extracomment>The commands are the recogniser&apos;s own words, which are English whatever the interface language; a translation should say that they are to be said in English.</extracomment>
        <translation>Di en inglés: %1</translation>
    </message>
    <message>
        <source>&amp;Hide</source>
        <translation>&amp;Esconder</translation>
    </message>
    <message>
        <source>&amp;Listen</source>
        <translation>Es&amp;cuchar</translation>
    </message>
    <message>
        <source>%1 heard:</source>
        <translation>%1 ha oído:</translation>
    </message>
    <message>
        <source>I didn&apos;t understand.</source>
        <translation>No te he entendido.</translation>
    </message>
    <message>
        <source>There is no command to give just now.</source>
        <translation>Ahora no hay ninguna orden que dar.</translation>
    </message>
    <message>
        <source>Speak now.</source>
        <translation>Habla ahora.</translation>
    </message>
    <message>
        <source>Speak now. You can also hold %1 while you speak.</source>
        <translation>Habla ahora. También puedes mantener pulsada %1 mientras hablas.</translation>
    </message>
    <message>
        <source>Keep holding %1 while you speak.</source>
        <translation>Mantén pulsada %1 mientras hablas.</translation>
    </message>
    <message>
        <source>%1 is listening...</source>
        <translation>%1 está escuchando...</translation>
    </message>
    <message>
        <source>Spoken commands are not available.</source>
        <translation>Las órdenes habladas no están disponibles.</translation>
    </message>
    <message>
        <source>Is a microphone plugged in?</source>
        <translation>¿Hay un micrófono conectado?</translation>
    </message>
    <message>
        <source>%1 cannot hear you.</source>
        <translation>%1 no te oye.</translation>
    </message>
    <message>
        <source>Right-click %1 for the menu.</source>
        <translation>Haz clic derecho en %1 para ver el menú.</translation>
    </message>
    <message>
        <source>An animated character. Click him and he speaks; drag him to move him. Right-click him, or press the Menu key or Shift+F10, for his menu.</source>
        <translation>Un personaje animado. Haz clic en él y habla; arrástralo para moverlo. Clic derecho, la tecla Menú o Mayús+F10 abren su menú.</translation>
    </message>
    <message>
        <source>What %1 says</source>
        <translation>Lo que dice %1</translation>
    </message>
    <message>
        <source>%1&apos;s commands</source>
        <translation>Órdenes de %1</translation>
    </message>
</context>
<context>
    <name>commandline</name>
    <message>
        <source>unexpected argument &apos;%1&apos;</source>
        <translation>argumento inesperado &apos;%1&apos;</translation>
    </message>
    <message>
        <source>unknown option &apos;%1&apos;</source>
        <translation>opción desconocida &apos;%1&apos;</translation>
    </message>
    <message>
        <source>option &apos;%1&apos; needs a value</source>
        <translation>la opción &apos;%1&apos; necesita un valor</translation>
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
        <translation>Uso: zumbrel [opciones]
Ejercicios de cálculo para niños de 5 a 8 años: Merlin el mago pone cuentas, escucha y habla.

Opciones:
  -h, --help     Muestra esta ayuda y termina.
  -v, --version  Muestra la versión y termina.

También se aceptan las opciones de Qt, como -platform NOMBRE o -display PANTALLA.
Zumbrel necesita una sesión gráfica (X11, o Wayland con XWayland) y sonido.
Más en la página de manual zumbrel(1) y en la guía: Ayuda &gt; Guía, o F1.
</translation>
    </message>
    <message>
        <source>cannot open a window: this Wayland session offers no X server (DISPLAY is not set). Zumbrel needs XWayland; install and enable it, or start Zumbrel from an X session.</source>
        <translation>no se puede abrir una ventana: esta sesión de Wayland no ofrece servidor X (DISPLAY no está definida). Zumbrel necesita XWayland; instálelo y actívelo, o inicie Zumbrel en una sesión X.</translation>
    </message>
    <message>
        <source>cannot open a window: no display is set (neither DISPLAY nor WAYLAND_DISPLAY). Start Zumbrel from a graphical desktop session.</source>
        <translation>no se puede abrir una ventana: no hay pantalla definida (ni DISPLAY ni WAYLAND_DISPLAY). Inicie Zumbrel desde una sesión gráfica.</translation>
    </message>
    <message>
        <source>Try &apos;zumbrel --help&apos; for more information.
</source>
        <translation>Pruebe &apos;zumbrel --help&apos; para más información.
</translation>
    </message>
    <message>
        <source>cannot open a window: no X server answers on the display &quot;%1&quot;. Start Zumbrel from a graphical desktop session.</source>
        <translation>no se puede abrir una ventana: ningún servidor X responde en la pantalla &quot;%1&quot;. Inicie Zumbrel desde una sesión gráfica.</translation>
    </message>
</context>
<context>
    <name>listen</name>
    <message>
        <source>There is no microphone.</source>
        <translation>No hay ningún micrófono.</translation>
    </message>
    <message>
        <source>The microphone cannot be opened.</source>
        <translation>No se puede abrir el micrófono.</translation>
    </message>
    <message>
        <source>The microphone stopped working.</source>
        <translation>El micrófono ha dejado de funcionar.</translation>
    </message>
    <message>
        <source>The speech model is missing (%1).</source>
        <translation>Falta el modelo de voz (%1).</translation>
    </message>
    <message>
        <source>The pronouncing dictionary is missing (%1).</source>
        <translation>Falta el diccionario de pronunciación (%1).</translation>
    </message>
    <message>
        <source>The pronouncing dictionary cannot be read (%1).</source>
        <translation>No se puede leer el diccionario de pronunciación (%1).</translation>
    </message>
    <message>
        <source>No pronunciation for: %1.</source>
        <translation>No hay pronunciación para: %1.</translation>
    </message>
    <message>
        <source>Cannot write the decoder&apos;s word list.</source>
        <translation>No se puede escribir la lista de palabras del reconocedor.</translation>
    </message>
    <message>
        <source>The speech decoder rejected its settings.</source>
        <translation>El reconocedor de voz rechaza su configuración.</translation>
    </message>
    <message>
        <source>The speech decoder cannot load its model.</source>
        <translation>El reconocedor de voz no puede cargar su modelo.</translation>
    </message>
    <message>
        <source>The speech decoder rejected the command grammar.</source>
        <translation>El reconocedor de voz rechaza la gramática de las órdenes.</translation>
    </message>
</context>
<context>
    <name>quiz</name>
    <message>
        <source>Correct answer|You are right|Well done|Very Good|That is correct</source>
        <translation>Respuesta correcta|Tienes razón|Bien hecho|Muy bien|Eso es correcto</translation>
    </message>
    <message>
        <source>Correct answer|You are right, %1|Well done, %1|Very Good, %1|That is correct|You are very smart, %1</source>
        <translation>Respuesta correcta|Tienes razón, %1|Bien hecho, %1|Muy bien, %1|Eso es correcto|Piensas muy bien, %1</translation>
    </message>
    <message>
        <source>Wrong answer|That is not correct|You gave the wrong answer|Your answer is wrong|Oops! That is not right</source>
        <translation>Respuesta incorrecta|Eso no es correcto|Tu respuesta no es la correcta|Tu respuesta está mal|¡Uy! Eso no está bien</translation>
    </message>
    <message>
        <source>Wrong answer, %1|That is not correct, %1|You gave the wrong answer, %1|Your answer is wrong|Oops! That is not right|Please, pay attention|Hey, you made a boo-boo</source>
        <translation>Respuesta incorrecta, %1|Eso no es correcto, %1|Tu respuesta no es la correcta, %1|Tu respuesta está mal|¡Uy! Eso no está bien|Presta atención, por favor|Ay, te has equivocado</translation>
    </message>
    <message>
        <source>The correct answer is %1</source>
        <extracomment>Followed by the number, written in digits.</extracomment>
        <translation>La respuesta correcta es %1</translation>
    </message>
</context>
<context>
    <name>teacher</name>
    <message>
        <source>&amp;Reset</source>
        <translation>&amp;Reiniciar</translation>
    </message>
    <message>
        <source>Level &amp;1</source>
        <translation>Nivel &amp;1</translation>
    </message>
    <message>
        <source>Level &amp;2</source>
        <translation>Nivel &amp;2</translation>
    </message>
    <message>
        <source>Level &amp;3</source>
        <translation>Nivel &amp;3</translation>
    </message>
    <message>
        <source>Level &amp;4</source>
        <translation>Nivel &amp;4</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Salir</translation>
    </message>
    <message>
        <source>Welcome. I am your teacher for today.</source>
        <translation>¡Hola! Hoy voy a ser tu profesor.</translation>
    </message>
    <message>
        <source>Are you ready?</source>
        <translation>¿Empezamos?</translation>
    </message>
    <message>
        <source>Ouch!|That tickles|Don&apos;t click me|Keep the mouse away from me</source>
        <translation>¡Ay!|Eso hace cosquillas|No me hagas clic|Aleja el ratón de mí</translation>
    </message>
    <message>
        <source>Happy?|I feel much better here|Leave me where I was|What? There&apos;s something special about this place?|Leave me alone</source>
        <translation>¿Te gusta así?|Aquí me siento mucho mejor|Déjame donde estaba|¿Qué? ¿Este sitio tiene algo especial?|Déjame en paz</translation>
    </message>
    <message>
        <source>Hello, %1. Nice to meet you|Hi there, %1</source>
        <translation>Hola, %1. Encantado de conocerte|¿Qué tal, %1?</translation>
    </message>
    <message>
        <source>Good-bye|See you later|So long|Come back soon</source>
        <translation>Adiós|Hasta luego|Hasta pronto|Vuelve pronto</translation>
    </message>
    <message>
        <source>Good-bye, %1|See you later, %1|So long|Come back soon, %1</source>
        <translation>Adiós, %1|Hasta luego, %1|Hasta pronto|Vuelve pronto, %1</translation>
    </message>
    <message>
        <source>Cannot load character</source>
        <translation>No se puede cargar el personaje</translation>
    </message>
    <message>
        <source>This program requires the Merlin character.</source>
        <translation>Este programa necesita el personaje Merlin.</translation>
    </message>
    <message>
        <source>And run this program again.</source>
        <translation>Y vuelve a abrir este programa.</translation>
    </message>
    <message>
        <source>Do you want to open this page now?</source>
        <translation>¿Quieres abrir esta página ahora?</translation>
    </message>
    <message>
        <source>Read how to install it at %1</source>
        <translation>Aquí se explica cómo instalarlo: %1</translation>
    </message>
    <message>
        <source>If Zumbrel came as a Debian package: %1</source>
        <translation>Si Zumbrel vino como paquete Debian: %1</translation>
    </message>
</context>
</TS>

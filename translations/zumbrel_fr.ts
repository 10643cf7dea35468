<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>about::frmAbout</name>
    <message>
        <source>About Zumbrel Teacher</source>
        <translation>À propos du professeur Zumbrel</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>&amp;System Info...</source>
        <translation>&amp;Infos système...</translation>
    </message>
    <message>
        <source>Version %1.%2.%3</source>
        <translation>Version %1.%2.%3</translation>
    </message>
    <message>
        <source>Developed by Vantrell</source>
        <translation>Développé par Vantrell</translation>
    </message>
    <message>
        <source>Zumbrel is free software under the GNU General Public License, version 3 or later, and comes with absolutely no warranty.</source>
        <translation>Zumbrel est un logiciel libre sous licence GNU General Public License, version 3 ou ultérieure, et n&apos;est accompagné d&apos;aucune garantie.</translation>
    </message>
    <message>
        <source>System Information Is Unavailable At This Time</source>
        <translation>Les informations système ne sont pas disponibles pour le moment</translation>
    </message>
    <message>
        <source>This program is intended to teach basic arithmetic to children between the ages of 5 and 8.</source>
        <translation>Ce programme aide les enfants de 5 à 8 ans à apprendre le calcul.</translation>
    </message>
    <message>
        <source>It requires a Linux desktop with a sound card plus speakers, and a microphone for spoken commands.</source>
        <translation>Il faut un bureau Linux avec une carte son et des haut-parleurs, et un micro pour les ordres parlés.</translation>
    </message>
</context>
<context>
    <name>app</name>
    <message>
        <source>An unknown error occurred.</source>
        <translation>Une erreur inconnue est survenue.</translation>
    </message>
    <message>
        <source>Zumbrel</source>
        <translation>Zumbrel</translation>
    </message>
    <message>
        <source>Zumbrel has stopped because of an error:</source>
        <translation>Zumbrel s&apos;est arrêté à cause d&apos;une erreur&#xa0;:</translation>
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
        <translation>Maître Zumbrel</translation>
    </message>
    <message>
        <source>Type your answer here</source>
        <translation>Écris ta réponse ici</translation>
    </message>
    <message>
        <source>Question</source>
        <translation>Question</translation>
    </message>
    <message>
        <source>Type of questions being asked</source>
        <translation>Le genre de questions posées</translation>
    </message>
    <message>
        <source>Score</source>
        <translation>Score</translation>
    </message>
    <message>
        <source>Total:</source>
        <translation>Total</translation>
    </message>
    <message>
        <source>Correct:</source>
        <translation>Justes</translation>
    </message>
    <message>
        <source>Wrong:</source>
        <translation>Faux</translation>
    </message>
    <message>
        <source>Skipped:</source>
        <translation>Passées</translation>
    </message>
    <message>
        <source>Level:</source>
        <translation>Niveau</translation>
    </message>
    <message>
        <source>Total questions shown</source>
        <translation>Le nombre de questions posées</translation>
    </message>
    <message>
        <source>Number of correct answers given</source>
        <translation>Le nombre de bonnes réponses</translation>
    </message>
    <message>
        <source>Number of wrong answers given</source>
        <translation>Le nombre de mauvaises réponses</translation>
    </message>
    <message>
        <source>Number of questions not answered</source>
        <translation>Le nombre de questions passées</translation>
    </message>
    <message>
        <source>The current level of diffulty</source>
        <translation>Le niveau de difficulté actuel</translation>
    </message>
    <message>
        <source>&amp;Reset</source>
        <translation>&amp;Rejouer</translation>
    </message>
    <message>
        <source>Click here to reset scores</source>
        <translation>Clique ici pour remettre le score à zéro</translation>
    </message>
    <message>
        <source>&amp;Skip</source>
        <translation>&amp;Passer</translation>
    </message>
    <message>
        <source>Click here to skip the current question. You can also press the Esc key.</source>
        <translation>Clique ici pour passer la question. Tu peux aussi appuyer sur la touche Échap.</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Click here after typing the answer. Alternatively, press the Enter key</source>
        <translation>Clique ici quand tu as écrit ta réponse. Tu peux aussi appuyer sur la touche Entrée</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>Fer&amp;mer</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <source>Your &amp;Name...</source>
        <translation>Ton &amp;nom...</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>&amp;Questions</source>
        <translation>&amp;Questions</translation>
    </message>
    <message>
        <source>&amp;Addition</source>
        <translation>&amp;Addition</translation>
    </message>
    <message>
        <source>&amp;Subtraction</source>
        <translation>&amp;Soustraction</translation>
    </message>
    <message>
        <source>&amp;Multiplication</source>
        <translation>&amp;Multiplication</translation>
    </message>
    <message>
        <source>&amp;Division</source>
        <translation>&amp;Division</translation>
    </message>
    <message>
        <source>Levels</source>
        <translation>Niveaux</translation>
    </message>
    <message>
        <source>Level &amp;%1</source>
        <translation>Niveau &amp;%1</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Aide</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>À &amp;propos...</translation>
    </message>
    <message>
        <source>The page could not be opened in a web browser. Open it yourself:</source>
        <translation>La page n&apos;a pas pu s&apos;ouvrir dans un navigateur web. Ouvre-la toi-même&#xa0;:</translation>
    </message>
    <message>
        <source>Enter Name</source>
        <translation>Ton nom</translation>
    </message>
    <message>
        <source>What is your name?</source>
        <translation>Comment tu t&apos;appelles&#xa0;?</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Guide</translation>
    </message>
    <message>
        <source>plus</source>
        <translation>plus</translation>
    </message>
    <message>
        <source>minus</source>
        <translation>moins</translation>
    </message>
    <message>
        <source>times</source>
        <translation>fois</translation>
    </message>
    <message>
        <source>divided by</source>
        <translation>divisé par</translation>
    </message>
    <message>
        <source>Your answer</source>
        <translation>Ta réponse</translation>
    </message>
    <message>
        <source>First number</source>
        <translation>Premier nombre</translation>
    </message>
    <message>
        <source>Second number</source>
        <translation>Deuxième nombre</translation>
    </message>
    <message>
        <source>Merlin says good-bye and Zumbrel closes</source>
        <translation>Merlin dit au revoir et Zumbrel se ferme</translation>
    </message>
    <message>
        <source>The guide could not be opened in a web browser. Open it yourself:</source>
        <translation>Le guide n&apos;a pas pu s&apos;ouvrir dans un navigateur web. Ouvre-le toi-même&#xa0;:</translation>
    </message>
    <message>
        <source>Merlin is away. Click here to call him back.</source>
        <translation>Merlin est parti. Clique ici pour le faire revenir.</translation>
    </message>
</context>
<context>
    <name>character</name>
    <message>
        <source>Character</source>
        <translation>Personnage</translation>
    </message>
    <message>
        <source>the Space bar</source>
        <translation>la barre d&apos;espace</translation>
    </message>
    <message>
        <source>the %1 key</source>
        <translation>la touche %1</translation>
    </message>
    <message>
        <source>&amp;Show %1</source>
        <translation>&amp;Montrer %1</translation>
    </message>
    <message>
        <source>&amp;Hide %1</source>
        <translation>&amp;Cacher %1</translation>
    </message>
    <message>
        <source>Say: %1</source>
        <extracomment>The commands are the recogniser&apos;s own words, which are English whatever the interface language; a translation should say that they are to be said in English.</extracomment>
        <translation>Dis en anglais&#xa0;: %1</translation>
    </message>
    <message>
        <source>&amp;Hide</source>
        <translation>&amp;Cacher</translation>
    </message>
    <message>
        <source>&amp;Listen</source>
        <translation>Éc&amp;outer</translation>
    </message>
    <message>
        <source>%1 heard:</source>
        <translation>%1 a entendu&#xa0;:</translation>
    </message>
    <message>
        <source>I didn&apos;t understand.</source>
        <translation>Je n&apos;ai pas compris.</translation>
    </message>
    <message>
        <source>There is no command to give just now.</source>
        <translation>Il n&apos;y a pas d&apos;ordre à donner pour l&apos;instant.</translation>
    </message>
    <message>
        <source>Speak now.</source>
        <translation>Parle maintenant.</translation>
    </message>
    <message>
        <source>Speak now. You can also hold %1 while you speak.</source>
        <translation>Parle maintenant. Tu peux aussi garder %1 enfoncée pendant que tu parles.</translation>
    </message>
    <message>
        <source>Keep holding %1 while you speak.</source>
        <translation>Garde %1 enfoncée pendant que tu parles.</translation>
    </message>
    <message>
        <source>%1 is listening...</source>
        <translation>%1 écoute...</translation>
    </message>
    <message>
        <source>Spoken commands are not available.</source>
        <translation>Les ordres parlés ne sont pas disponibles.</translation>
    </message>
    <message>
        <source>Is a microphone plugged in?</source>
        <translation>Un micro est-il branché&#xa0;?</translation>
    </message>
    <message>
        <source>%1 cannot hear you.</source>
        <translation>%1 ne t&apos;entend pas.</translation>
    </message>
    <message>
        <source>Right-click %1 for the menu.</source>
        <translation>Fais un clic droit sur %1 pour le menu.</translation>
    </message>
    <message>
        <source>An animated character. Click him and he speaks; drag him to move him. Right-click him, or press the Menu key or Shift+F10, for his menu.</source>
        <translation>Un personnage animé. Clique sur lui et il parle ; fais-le glisser pour le déplacer. Clic droit, touche Menu ou Maj+F10 : son menu.</translation>
    </message>
    <message>
        <source>What %1 says</source>
        <translation>Ce que dit %1</translation>
    </message>
    <message>
        <source>%1&apos;s commands</source>
        <translation>Les commandes de %1</translation>
    </message>
</context>
<context>
    <name>commandline</name>
    <message>
        <source>unexpected argument &apos;%1&apos;</source>
        <translation>argument inattendu &apos;%1&apos;</translation>
    </message>
    <message>
        <source>unknown option &apos;%1&apos;</source>
        <translation>option inconnue &apos;%1&apos;</translation>
    </message>
    <message>
        <source>option &apos;%1&apos; needs a value</source>
        <translation>l&apos;option &apos;%1&apos; demande une valeur</translation>
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
        <translation>Utilisation : zumbrel [options]
Des exercices de calcul pour les enfants de 5 à 8 ans : Merlin le magicien pose les opérations, écoute et parle.

Options :
  -h, --help     Afficher cette aide et quitter.
  -v, --version  Afficher la version et quitter.

Les options de Qt, comme -platform NOM ou -display AFFICHAGE, sont acceptées aussi.
Zumbrel demande une session graphique (X11, ou Wayland avec XWayland) et du son.
Plus d&apos;informations dans la page de manuel zumbrel(1) et dans le guide : Aide &gt; Guide, ou F1.
</translation>
    </message>
    <message>
        <source>cannot open a window: this Wayland session offers no X server (DISPLAY is not set). Zumbrel needs XWayland; install and enable it, or start Zumbrel from an X session.</source>
        <translation>impossible d&apos;ouvrir une fenêtre : cette session Wayland n&apos;offre pas de serveur X (DISPLAY n&apos;est pas défini). Zumbrel a besoin de XWayland ; installez-le et activez-le, ou lancez Zumbrel dans une session X.</translation>
    </message>
    <message>
        <source>cannot open a window: no display is set (neither DISPLAY nor WAYLAND_DISPLAY). Start Zumbrel from a graphical desktop session.</source>
        <translation>impossible d&apos;ouvrir une fenêtre : aucun affichage n&apos;est défini (ni DISPLAY ni WAYLAND_DISPLAY). Lancez Zumbrel depuis une session graphique.</translation>
    </message>
    <message>
        <source>Try &apos;zumbrel --help&apos; for more information.
</source>
        <translation>Essayez &apos;zumbrel --help&apos; pour en savoir plus.
</translation>
    </message>
    <message>
        <source>cannot open a window: no X server answers on the display &quot;%1&quot;. Start Zumbrel from a graphical desktop session.</source>
        <translation>impossible d&apos;ouvrir une fenêtre : aucun serveur X ne répond sur l&apos;affichage &quot;%1&quot;. Lancez Zumbrel depuis une session graphique.</translation>
    </message>
</context>
<context>
    <name>listen</name>
    <message>
        <source>There is no microphone.</source>
        <translation>Il n&apos;y a pas de micro.</translation>
    </message>
    <message>
        <source>The microphone cannot be opened.</source>
        <translation>Le micro ne peut pas être ouvert.</translation>
    </message>
    <message>
        <source>The microphone stopped working.</source>
        <translation>Le micro ne marche plus.</translation>
    </message>
    <message>
        <source>The speech model is missing (%1).</source>
        <translation>Le modèle de parole manque (%1).</translation>
    </message>
    <message>
        <source>The pronouncing dictionary is missing (%1).</source>
        <translation>Le dictionnaire de prononciation manque (%1).</translation>
    </message>
    <message>
        <source>The pronouncing dictionary cannot be read (%1).</source>
        <translation>Le dictionnaire de prononciation est illisible (%1).</translation>
    </message>
    <message>
        <source>No pronunciation for: %1.</source>
        <translation>Pas de prononciation pour : %1.</translation>
    </message>
    <message>
        <source>Cannot write the decoder&apos;s word list.</source>
        <translation>Impossible d&apos;écrire la liste de mots de la reconnaissance.</translation>
    </message>
    <message>
        <source>The speech decoder rejected its settings.</source>
        <translation>La reconnaissance vocale refuse ses réglages.</translation>
    </message>
    <message>
        <source>The speech decoder cannot load its model.</source>
        <translation>La reconnaissance vocale ne peut pas charger son modèle.</translation>
    </message>
    <message>
        <source>The speech decoder rejected the command grammar.</source>
        <translation>La reconnaissance vocale refuse la grammaire des commandes.</translation>
    </message>
</context>
<context>
    <name>quiz</name>
    <message>
        <source>Correct answer|You are right|Well done|Very Good|That is correct</source>
        <translation>Bonne réponse|Tu as raison|Bien joué|Très bien|C&apos;est juste</translation>
    </message>
    <message>
        <source>Correct answer|You are right, %1|Well done, %1|Very Good, %1|That is correct|You are very smart, %1</source>
        <translation>Bonne réponse|Tu as raison, %1|Bien joué, %1|Très bien, %1|C&apos;est juste|Tu réfléchis très bien, %1</translation>
    </message>
    <message>
        <source>Wrong answer|That is not correct|You gave the wrong answer|Your answer is wrong|Oops! That is not right</source>
        <translation>Mauvaise réponse|Ce n&apos;est pas juste|Ta réponse n&apos;est pas la bonne|Ta réponse est fausse|Oups&#xa0;! Ce n&apos;est pas ça</translation>
    </message>
    <message>
        <source>Wrong answer, %1|That is not correct, %1|You gave the wrong answer, %1|Your answer is wrong|Oops! That is not right|Please, pay attention|Hey, you made a boo-boo</source>
        <translation>Mauvaise réponse, %1|Ce n&apos;est pas juste, %1|Ta réponse n&apos;est pas la bonne, %1|Ta réponse est fausse|Oups&#xa0;! Ce n&apos;est pas ça|Fais bien attention, s&apos;il te plaît|Oh là là, une petite erreur</translation>
    </message>
    <message>
        <source>The correct answer is %1</source>
        <extracomment>Followed by the number, written in digits.</extracomment>
        <translation>La bonne réponse est %1</translation>
    </message>
</context>
<context>
    <name>teacher</name>
    <message>
        <source>&amp;Reset</source>
        <translation>&amp;Rejouer</translation>
    </message>
    <message>
        <source>Level &amp;1</source>
        <translation>Niveau &amp;1</translation>
    </message>
    <message>
        <source>Level &amp;2</source>
        <translation>Niveau &amp;2</translation>
    </message>
    <message>
        <source>Level &amp;3</source>
        <translation>Niveau &amp;3</translation>
    </message>
    <message>
        <source>Level &amp;4</source>
        <translation>Niveau &amp;4</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>Welcome. I am your teacher for today.</source>
        <translation>Bienvenue. Aujourd&apos;hui, je suis ton professeur.</translation>
    </message>
    <message>
        <source>Are you ready?</source>
        <translation>On commence&#xa0;?</translation>
    </message>
    <message>
        <source>Ouch!|That tickles|Don&apos;t click me|Keep the mouse away from me</source>
        <translation>Aïe&#xa0;!|Ça chatouille|Ne clique pas sur moi|Éloigne la souris de moi</translation>
    </message>
    <message>
        <source>Happy?|I feel much better here|Leave me where I was|What? There&apos;s something special about this place?|Leave me alone</source>
        <translation>Ça te plaît&#xa0;?|Je me sens bien mieux ici|Remets-moi où j&apos;étais|Quoi&#xa0;? Cet endroit a quelque chose de spécial&#xa0;?|Laisse-moi tranquille</translation>
    </message>
    <message>
        <source>Hello, %1. Nice to meet you|Hi there, %1</source>
        <translation>Bonjour, %1. Ravi de te connaître|Salut, %1</translation>
    </message>
    <message>
        <source>Good-bye|See you later|So long|Come back soon</source>
        <translation>Au revoir|À plus tard|Salut|Reviens vite</translation>
    </message>
    <message>
        <source>Good-bye, %1|See you later, %1|So long|Come back soon, %1</source>
        <translation>Au revoir, %1|À plus tard, %1|Salut|Reviens vite, %1</translation>
    </message>
    <message>
        <source>Cannot load character</source>
        <translation>Impossible de charger le personnage</translation>
    </message>
    <message>
        <source>This program requires the Merlin character.</source>
        <translation>Ce programme a besoin du personnage Merlin.</translation>
    </message>
    <message>
        <source>And run this program again.</source>
        <translation>Puis relance ce programme.</translation>
    </message>
    <message>
        <source>Do you want to open this page now?</source>
        <translation>Veux-tu ouvrir cette page maintenant&#xa0;?</translation>
    </message>
    <message>
        <source>Read how to install it at %1</source>
        <translation>Comment l&apos;installer&#xa0;: %1</translation>
    </message>
    <message>
        <source>If Zumbrel came as a Debian package: %1</source>
        <translation>Si Zumbrel vient d&apos;un paquet Debian&#xa0;: %1</translation>
    </message>
</context>
</TS>

<!DOCTYPE html>
<html lang="it">
<head>
<meta charset="utf-8">
<title>Guida di Skyglance - Selezione Immagini</title>
<link rel="stylesheet" href="{{site}}/site/style.css">
</head>
<body>
<div class="banner">Guida di Skyglance</div>
<h1>Selezione Immagini</h1>
<p>Seleziona le immagini da vedere. Fai clic su una riga per l'anteprima. Salva la selezione come collezione, o carica una collezione per aggiungerne le immagini.</p>
<p class="made">Page made {{made}} by the Skyglance sample site.</p>
</body>
</html>

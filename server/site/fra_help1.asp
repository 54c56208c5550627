<!DOCTYPE html>
<html lang="fr">
<head>
<meta charset="utf-8">
<title>Aide de Skyglance - Lancer - Quitter</title>
<link rel="stylesheet" href="{{site}}/site/style.css">
</head>
<body>
<div class="banner">Aide de Skyglance</div>
<h1>Lancer - Quitter</h1>
<p>Lancez le diaporama avec l'icône de démarrage ; il démarre seul à chaque lancement dès que des images sont cochées. Quittez avec l'icône de sortie : les réglages sont enregistrés d'abord.</p>
<p class="made">Page made {{made}} by the Skyglance sample site.</p>
</body>
</html>

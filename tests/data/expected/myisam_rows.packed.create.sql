CREATE TABLE `packed` (
  `id` int(11) NOT NULL,
  `name` varchar(40) NOT NULL,
  `qty` smallint(6) NOT NULL,
  `note` varchar(100) DEFAULT NULL,
  PRIMARY KEY (`id`)
) ENGINE=MyISAM DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci
;
